#pragma once

#include "options.h"

// Exit statuses of draftel-gen; with several files the worst, the highest, is returned.
constexpr int kExitSuccess = 0;
constexpr int kExitCircular = 1;
constexpr int kExitFailure = 2; // usage, definition and design errors, a stopped generation

// Checks every definition file, reporting errors and warnings; fails if any has an error.
int checkDefinitionFiles(const QStringList& files);

// Generates, or lists the outputs or inputs of, every design of the options, each as if alone.
int runDesigns(const Options& options);
