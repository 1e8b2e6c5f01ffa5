#include "preferences/preferences.h"

#include <QDir>
#include <QSettings>
#include <cstdio>

namespace {
const char* const organisation = "Korvala";
const char* const application = "Draftel";
const char* const versionKey = "/prefVersion";
const char* const flagsKey = "/prefFlags";
const char* const directoryKey = "/prefDefDirectory";

} // namespace

// Reading looks in the user's file first and falls back to the system-wide one; writing goes to
// the user's file, which an ordinary user can write, so an administrator's system-wide values
// still serve as defaults without every change being lost.
Preferences Preferences::read() {
    Preferences values;
    QSettings settings(QSettings::UserScope, organisation, application);
    values.version = settings.value(versionKey, values.version).toInt();
    values.flags = settings.value(flagsKey, values.flags).toInt();
    values.definitionsDirectory =
        settings.value(directoryKey, values.definitionsDirectory).toString();
    return values;
}

bool Preferences::write() const {
    QSettings settings(QSettings::UserScope, organisation, application);
    settings.setValue(versionKey, version);
    settings.setValue(flagsKey, flags);
    settings.setValue(directoryKey, storedDefinitionsDirectory.value_or(definitionsDirectory));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

void Preferences::useDefinitionsDirectoryForThisRun(const QString& directory) {
    if (!storedDefinitionsDirectory) {
        storedDefinitionsDirectory = definitionsDirectory;
    }
    definitionsDirectory = directory;
}

void Preferences::chooseDefinitionsDirectory(const QString& directory) {
    definitionsDirectory = directory;
    storedDefinitionsDirectory.reset();
}

void useInstalledDefinitions(Preferences& values, const QString& installedDirectory) {
    if (values.definitionsDirectory != Preferences().definitionsDirectory ||
        QDir(values.definitionsDirectory).exists()) {
        return;
    }
    const QDir installed(installedDirectory);
    if (installed.exists()) {
        values.useDefinitionsDirectoryForThisRun(installed.absolutePath());
    }
}

Preferences& preferences() {
    static Preferences values;
    return values;
}

PreferencesHolder::PreferencesHolder() {
    preferences() = Preferences::read();
}

PreferencesHolder::~PreferencesHolder() {
    if (!preferences().write()) {
        std::fprintf(stderr, "draftel: the preferences could not be saved\n");
    }
}
