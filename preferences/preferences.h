#pragma once

#include <QString>

// The three process-wide preferences, shared by every window.
struct Preferences {
    int version = 1;
    int flags = 1; // bit 0: open the generated file after Generate
    QString definitionsDirectory = QStringLiteral("defs");

    bool openGeneratedFile() const { return (flags & 1) != 0; }

    // Reads the settings store: the user's values first, then the system-wide ones, then the
    // defaults above for keys stored nowhere.
    static Preferences read();
    // Writes the values to the user's settings; false when the store could not be written.
    bool write() const;
};

// The values in force for the whole process.
Preferences& preferences();

// Reads the preferences when constructed and writes them back when destroyed, so that main()
// can hold them for the whole run, before the application object exists and after it is gone.
class PreferencesHolder {
public:
    PreferencesHolder();
    ~PreferencesHolder();
    PreferencesHolder(const PreferencesHolder&) = delete;
    PreferencesHolder& operator=(const PreferencesHolder&) = delete;
};
