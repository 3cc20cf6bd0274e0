#pragma once

// The tips of the day of the current language: one list for the whole program, filled from a
// tips file and read by the tips dialog. Main thread only.
//
// A tips file holds each tip between a pair of double quotes; whatever lies outside the pairs
// (line breaks, blanks, remarks) is ignored, and what lies inside is taken as it stands.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zembra {

class CTipsFile {
public:
    // Only the start of a file counts; the rest of a longer one is ignored.
    static constexpr qsizetype kMaxFileBytes = 32000;

    // Replaces the list with the tips of the file; false, and the list as it was, when the file
    // cannot be opened.
    static bool LoadTips(const QString& path);
    // The tips in file order; empty until a file has been loaded.
    static const QStringList& Tips();
    // The tips found in the bytes of a tips file, in order.
    static QStringList ParseTips(const QByteArray& bytes);
    // Where the program's tips file of that name lies: the installed data folder
    // (<bin>/../share/zembra), the program's own folder (a build tree), then the user's and the
    // system's data folders. When none holds it, the path in the program's folder.
    static QString TipsFilePath(const QString& fileName);
};

} // namespace zembra
