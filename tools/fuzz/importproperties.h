#pragma once
// Properties of importing a reconstruction as the programs do, checked on every fuzzed input: no
// input makes the import write outside the dataset's folder (the sandbox around it is listed before
// and after), no photograph or thumbnail of an accepted dataset lies outside it, and no accepted
// camera would be written with a focal length that is zero or not a finite number.

#include <QString>

// Ends the process, keeping the input, with what did not hold. Defined by the driver.
[[noreturn]] void propertyViolated(const QString &what);

// Imports path (a reconstruction file, or a COLMAP model folder) with its photographs looked for in
// a dataset folder inside a sandbox; the folder holds a small photograph under the last part of
// every name the input lists, so that its cameras can be accepted.
void checkImportProperties(const QString &path);
