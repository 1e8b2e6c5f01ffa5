#pragma once

#include <cstddef>
#include <string>

// A synthetic definition file of about targetBytes bytes: thousands of block types
// with parameters, sections, edit and collect marks, multi-line values and every
// comment form, plus global items and file sequences. The same seed gives the same text.
std::string generateDefinitions(std::size_t targetBytes, unsigned seed = 1);
