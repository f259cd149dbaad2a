// Errors of the mail library. InputError: something the user gave (a manifest, an address file, a
// template, an option) is wrong, found before anything was sent. Failure: the work could not go on
// (the journal cannot be written, the SMTP library cannot start). Messages are one Portuguese line.
#pragma once

#include <stdexcept>
#include <string>

namespace nrw::mail {

class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class InputError : public Failure {
 public:
  using Failure::Failure;
};

}  // namespace nrw::mail
