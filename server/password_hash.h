// Passwords of the web users, kept as Argon2id hashes in the PHC string form
// ("$argon2id$v=19$m=...,t=...,p=...$salt$hash"), which carries its own parameters and salt.
#pragma once

#include <string>

namespace nrw::server {

//! A new hash of the password with a fresh random salt.
std::string HashPassword(const std::string& password);
//! Whether the password matches the encoded hash (the comparison takes a constant time). A
//! malformed hash matches nothing.
bool VerifyPassword(const std::string& encoded, const std::string& password);
//! A hash of a random password, verified against when the user does not exist, so that a login for
//! an unknown name costs as long as one with a wrong password.
const std::string& DecoyHash();

}  // namespace nrw::server
