#pragma once
// What the user is told when a preparation job reports problems, worded once for every front end
// (the window shows these in message boxes, the command-line tool prints them).

#include "problem.h"

#include <QString>
#include <QStringList>

using JobMessage = Problem;

namespace JobMessages
{

// The first ten problems, one per line, then how many more there were.
QString problemList(const QStringList &problems);

// One line per thumbnail that could not be made (rows counted from 0, shown from 1).
QString thumbnailFailure(int row, const QString &reason);
JobMessage thumbnailsNotMade(const QStringList &failures);

// Photographs the ordering job could not decode (their colours were not compared).
JobMessage photographsNotRead(const QStringList &imagePaths);

// Photographs a dataset lists that are not on disk (names as the dataset lists them).
JobMessage photographsNotFound(const QStringList &names);

} // namespace JobMessages
