// The exception classes of the run-time layer. Every exception the program
// raises derives from Exception and carries a message text.
#pragma once

#include <stdexcept>
#include <string>

namespace morvane {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  void SetMessage(std::string m) { message_ = std::move(m); }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

#define MORVANE_EXCEPTION(Name, Base)                        \
  class Name : public Base {                                 \
   public:                                                   \
    explicit Name(std::string message) : Base(std::move(message)) {} \
  }

MORVANE_EXCEPTION(EConvertError, Exception);      // text to number or date
MORVANE_EXCEPTION(EStreamError, Exception);
MORVANE_EXCEPTION(EReadError, EStreamError);      // a stream read that could not be done
MORVANE_EXCEPTION(EWriteError, EStreamError);
MORVANE_EXCEPTION(EFOpenError, EStreamError);     // a file stream that could not open
MORVANE_EXCEPTION(EFCreateError, EStreamError);
MORVANE_EXCEPTION(EInOutError, Exception);        // text and binary file I/O
MORVANE_EXCEPTION(EListError, Exception);         // list index out of bounds
MORVANE_EXCEPTION(EStringListError, Exception);   // duplicates, capacity
MORVANE_EXCEPTION(ERegistryException, Exception); // missing or wrongly typed value
MORVANE_EXCEPTION(EOSError, Exception);           // a failed system call
MORVANE_EXCEPTION(EThread, Exception);
MORVANE_EXCEPTION(EAbort, Exception);             // silent: the application object shows nothing
MORVANE_EXCEPTION(EInvalidOperation, Exception);
MORVANE_EXCEPTION(EOutOfResources, Exception);
MORVANE_EXCEPTION(EComponentError, Exception);
MORVANE_EXCEPTION(EAssignError, Exception);       // TPersistent::Assign with an unknown source

}  // namespace morvane
