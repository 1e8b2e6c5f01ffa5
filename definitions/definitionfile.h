#pragma once

#include <QString>

class DefinitionSet;

// Parses the definition file at path into the set. Returns an empty string on success, else
// the message every front end shows for it: the path, then the parser's error with its line.
QString readDefinitionFile(const QString& path, DefinitionSet& set);

// That message for a definition file that cannot be used, given the error text.
QString definitionErrorMessage(const QString& path, const QString& error);
