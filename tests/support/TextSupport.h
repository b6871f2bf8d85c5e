// Texts of documents, changed in place for a test.
#pragma once

#include <string>

// text with the first from replaced by to; a from it lacks fails the test.
std::string Replaced(std::string text, const std::string& from, const std::string& to);
