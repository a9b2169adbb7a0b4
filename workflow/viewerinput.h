#pragma once
// What the viewer preview shows, taken from a session's dataset and request (the window and the
// tool both draw from here) or from an index file's own settings.

#include "datasetstate.h"
#include "sessionrequest.h"
#include "viewerscene.h"

#include <QString>
#include <QVector>

namespace ViewerInput
{

// The request's viewer settings; a dome table with a bad row leaves the dome without rows
// (the colour at infinity then fills it).
ViewerSettings settings(const SessionRequest &request);
// The settings an index carries (its first collection's bar, framelets and reliability).
ViewerSettings settings(const OrvelleIndex &index);
// One entry per row of the dataset, in row order.
QVector<ViewerShot> shots(const DatasetState &state);
// Rows in viewing order when every shot has a distinct place; empty (the rows' order) otherwise.
QVector<int> viewingOrder(const DatasetState &state);
// The model the preview draws: the multiresolution model when one is asked for and has been built
// (the file exists and is not older than the model), else the low-resolution one, else the index's.
QString modelFile(const SessionRequest &request);

} // namespace ViewerInput
