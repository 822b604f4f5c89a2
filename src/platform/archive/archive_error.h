#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace lumetra {

// Why reading a document failed. The causes are the object archive's own.
enum class ArchiveFailure {
  BadClass,   // unknown class name, a name of 64 characters or more, or a class where an object belongs
  BadSchema,  // stored schema that the class does not accept
  EndOfFile,  // the data ends early, or announces more than the file holds
  BadIndex,   // an object or class index that refers to nothing usable
};

class ArchiveError : public std::runtime_error {
 public:
  ArchiveError(ArchiveFailure failure, const std::string& detail, std::size_t offset);

  ArchiveFailure failure() const { return failure_; }
  std::size_t offset() const { return offset_; }

 private:
  ArchiveFailure failure_;
  std::size_t offset_;
};

const char* ToString(ArchiveFailure failure);

}  // namespace lumetra
