#pragma once

// Where an unsaved list goes when the program has to end without asking (SIGTERM, a session
// that ends without allowing questions), so that nothing typed is lost: a copy under the
// program's data folder, with the path of the list it belongs to, offered back at the next start.

#include <QString>

#include <optional>

namespace zembra {

class CScheduler;

class CRecoveryStore {
public:
    struct Entry {
        QString copy;     // the list as it was when the program ended
        QString original; // the file it belongs to; empty for a list never saved
    };

    // <data folder>/recovery
    static QString Folder();
    // Writes the copy (replacing an earlier one); false when it could not be written.
    static bool Save(CScheduler& list, const QString& original);
    // The copy left by an earlier run, if any.
    static std::optional<Entry> Find();
    // Forgets the copy (restored, or declined).
    static void Discard();
};

} // namespace zembra
