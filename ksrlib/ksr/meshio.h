#pragma once
// Mesh importers of the mesh library, chosen by the file-name ending (case-insensitive):
// ply, stl, off (own readers), obj (through assimp), vmi (recognised, not supported), and tsl
// (our multiresolution file, read at its finest level).
// Every importer clears the mesh first and keeps whatever it could read when it fails part way,
// so a truncated file still yields the vertices and faces before the damage.
// Re-entrant: no global state, never changes the process's working folder.

#include <ksr/mesh.h>

#include <QString>

namespace ksr
{
namespace io
{

enum LoadMask {
    MaskVertexPosition = 1,
    MaskVertexNormal = 2,
    MaskVertexColor = 4,
    MaskFaceIndex = 8,
    MaskFaceNormal = 16
};

// Error codes shared by the importers; 0 = success. errorText() words them per format.
enum ErrorCode {
    ErrorNone = 0,
    ErrorCantOpen = 1,      // file missing or unreadable
    ErrorInvalidHeader = 2, // not a file of this format / malformed header
    ErrorUnexpectedEnd = 3, // truncated: fewer elements than the header announced
    ErrorInvalidValue = 4,  // a number that cannot be parsed
    ErrorInvalidFace = 5,   // a face refers to a vertex that does not exist (face dropped)
    ErrorTooLarge = 6,      // counts in the header exceed what the file can hold
    ErrorUnsupported = 7,   // VMI, or a PLY property type/format we cannot read
    ErrorImporter = 8,      // the external importer (OBJ) rejected the file
    ErrorUnknownType = 9,   // no importer for this file-name ending
    ErrorEmptyElement = 10, // a PLY element with a count above 0 and no properties
    ErrorAllNonFinite = 11, // every vertex position is NaN or infinite
    ErrorFileTooLarge = 12, // beyond the read bound
    ErrorLineTooLong = 13,  // a line of a text format beyond any model's (ByteScanner::MaxLineBytes)
    ErrorNotAFile = 14      // a FIFO, a device or a folder: refused unread
};

// Imports by file-name ending (ply, stl, off, obj, vmi, tsl; any case) into mesh (cleared first).
// 0 = success. loadMask receives the LoadMask bits of the attributes the file carried.
int importMesh(CMesh &mesh, const QString &fileName, int &loadMask);

// Text for an importer's error code; "Unknown type" when no importer matches the ending,
// "Unknown error" when the code has no text.
QString errorText(const QString &fileName, int errorCode);

// True when fileName's ending names one of the importers above.
bool isKnownModelFile(const QString &fileName);

// Individual importers (same contract as importMesh). Paths are used as given; files referenced by
// an OBJ (materials) are looked up relative to the OBJ's own folder.
int importPly(CMesh &mesh, const QString &fileName, int &loadMask);
int importStl(CMesh &mesh, const QString &fileName, int &loadMask);
int importOff(CMesh &mesh, const QString &fileName, int &loadMask);
int importObj(CMesh &mesh, const QString &fileName, int &loadMask);
int importVmi(CMesh &mesh, const QString &fileName, int &loadMask);
// The finest level (the original geometry) of a multiresolution file written by tslbuilder.
int importTsl(CMesh &mesh, const QString &fileName, int &loadMask);

} // namespace io
} // namespace ksr
