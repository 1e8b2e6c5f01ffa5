#pragma once

#include <QString>

#include <optional>

// The three process-wide preferences, shared by every window.
struct Preferences {
    int version = 1;
    int flags = 1; // bit 0: open the generated file after Generate
    QString definitionsDirectory = QStringLiteral("defs");
    // Set while definitionsDirectory is a stand-in for this run only: the value that stays
    // stored until the person chooses a directory in the preferences dialog.
    std::optional<QString> storedDefinitionsDirectory;

    bool openGeneratedFile() const { return (flags & 1) != 0; }

    // Uses the directory for this run without changing what is stored.
    void useDefinitionsDirectoryForThisRun(const QString& directory);
    // The person chose the directory in force; it is stored from now on.
    void chooseDefinitionsDirectory(const QString& directory);

    // Reads the settings store: the user's values first, then the system-wide ones, then the
    // defaults above for keys stored nowhere.
    static Preferences read();
    // Writes the values to the user's settings; false when the store could not be written.
    bool write() const;
};

// The values in force for the whole process.
Preferences& preferences();

// An editor installed and started away from a "defs" folder (from the desktop, say) uses the
// definition files installed beside it, for this run only, while the stored directory is still
// the default and no such folder is at hand.
void useInstalledDefinitions(Preferences& values, const QString& installedDirectory);

// Reads the preferences when constructed and writes them back when destroyed, so that main()
// can hold them for the whole run, before the application object exists and after it is gone.
class PreferencesHolder {
public:
    PreferencesHolder();
    ~PreferencesHolder();
    PreferencesHolder(const PreferencesHolder&) = delete;
    PreferencesHolder& operator=(const PreferencesHolder&) = delete;
};
