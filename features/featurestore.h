#pragma once
// What the ordering reads from the photographs of one dataset (time of shot, colours), kept so
// that a later run, or the thumbnail job that decoded them already, spares a decode.
//
// Records are keyed by the photograph: its path, and valid only while the file has the size and
// modification time it had when the record was made. A reordered or shortened photo list finds
// its records again; a replaced file is read anew. Camera geometry is not kept: it follows the
// current cameras and depths at every run.
//
// Held by std::shared_ptr, one store per imported dataset, so that datasets never see each
// other's records. Every member may be called from any thread.

#include "shotfeatures.h"

#include <QHash>
#include <QString>

#include <mutex>
#include <optional>

class FeatureStore
{
public:
    // The record of imagePath when it was made from the file as it is now and holds every part
    // `needs` asks for, colours decoded the way they ask; nullopt otherwise.
    std::optional<ShotFeatures> find(const QString &imagePath, ImageFeatureNeeds needs) const;
    // Keeps a record made by computeImageFeatures under its name, replacing the one before.
    // Records without a name (a photograph the import did not find) are not kept.
    void store(const ShotFeatures &features);
    int size() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    QHash<QString, ShotFeatures> m_records;
};
