#pragma once

#include <stdexcept>

namespace strovane::project {

// A project document that the composer cannot turn into an image: a PDO row whose COB-ID or
// Dimension is missing or not a number, or more entries than the image holds. what() names
// the file and, for a row, its number and attribute.
struct ComposeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

} // namespace strovane::project
