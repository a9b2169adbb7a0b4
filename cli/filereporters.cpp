#include "filereporters.h"

const std::vector<Inspector> &inspectors()
{
    // Suffixes compare as the window's import does: "orx" and "pfp" in lower case only.
    static const std::vector<Inspector> table = {
        {QStringLiteral("Polyforge project (.pfp)"),
         {QStringLiteral("pfp")},
         Qt::CaseSensitive,
         inspectProject},
        {QStringLiteral("index file (.orx)"), {QStringLiteral("orx")}, Qt::CaseSensitive, inspectIndex},
        {QStringLiteral("3D model (.ply, .stl, .off, .obj, .vmi, .tsl)"),
         {QStringLiteral("ply"), QStringLiteral("stl"), QStringLiteral("off"), QStringLiteral("obj"),
          QStringLiteral("vmi"), QStringLiteral("tsl")},
         Qt::CaseInsensitive,
         inspectModel},
        {QStringLiteral("photograph (.jpg, .jpeg)"),
         {QStringLiteral("jpg"), QStringLiteral("jpeg")},
         Qt::CaseInsensitive,
         inspectPhoto},
        {QStringLiteral(
             "reconstruction (COLMAP model folder or file, .nvm, .out, Metashape .xml, transforms.json, "
             "Meshroom .sfm, OpenMVG sfm_data.json)"),
         {QStringLiteral("nvm"), QStringLiteral("out"), QStringLiteral("sfm"), QStringLiteral("xml"),
          QStringLiteral("json")},
         Qt::CaseInsensitive,
         inspectReconstruction},
    };
    return table;
}
