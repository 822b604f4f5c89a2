#pragma once
// The object archive of the document file format: little-endian primitives,
// counts and strings with their short and long length forms, and polymorphic
// objects preceded by class records or tags. Classes and objects share one
// index sequence, starting at 1 (0 stands for a null pointer).

#include <concepts>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/archive/archive_error.h"
#include "platform/archive/byte_stream.h"
#include "platform/archive/class_registry.h"
#include "platform/types.h"

namespace lumetra {

// The types the archive stores as their bytes: the file's fixed-size fields.
template <class T>
concept IsStoredPlainly = std::same_as<T, std::uint8_t> || std::same_as<T, std::int32_t> ||
                          std::same_as<T, std::uint32_t> || std::same_as<T, double> || std::same_as<T, CPoint>;
static_assert(sizeof(CPoint) == 8 && std::has_unique_object_representations_v<CPoint>, "a point is x then y");

class CArchive {
 public:
  // A storing archive writes into its own buffer (Output()).
  explicit CArchive(const ClassRegistry& registry);
  // A loading archive reads the given bytes, which must outlive it.
  CArchive(std::span<const std::uint8_t> bytes, const ClassRegistry& registry);

  bool IsStoring() const { return storing_; }
  bool IsLoading() const { return !storing_; }

  // Raw access for data stored inline, outside the archive's own encoding.
  ByteReader& Input() { return reader_; }
  ByteWriter& Output() { return writer_; }

  // Store or load one value, by the direction of the archive.
  void Transfer(std::uint8_t& v) { TransferEach(v); }
  void Transfer(std::int32_t& v) { TransferEach(v); }
  void Transfer(std::uint32_t& v) { TransferEach(v); }
  void Transfer(double& v) { TransferEach(v); }
  void Transfer(CPoint& v) { TransferEach(v); }
  // Values of those types stored back to back as their little-endian bytes.
  // A load checks their total size once; when the bytes run out, it fails at
  // the value they run out in, as single Transfers would.
  template <class... T>
    requires(IsStoredPlainly<T> && ...)
  void TransferEach(T&... values) {
    if (storing_) {
      (writer_.Write(&values, sizeof values), ...);
    } else if ((sizeof(T) + ...) <= reader_.BytesLeft()) {
      const std::uint8_t* at = reader_.ReadInPlace((sizeof(T) + ...)).data();
      ((std::memcpy(&values, at, sizeof values), at += sizeof values), ...);
    } else {
      (reader_.Read(&values, sizeof values), ...);
    }
  }
  void Transfer(std::string& v);       // length-prefixed single-byte characters
  void Transfer(CPointArray& points);  // count, then 8 bytes a point

  void WriteCount(std::uint32_t n);
  std::uint32_t ReadCount();
  // A count of items each at least itemBytes long; more than the bytes left is an error.
  std::uint32_t ReadBoundedCount(std::size_t itemBytes);

  void WriteString(std::string_view s);
  std::string ReadString();
  // A string where it lies in the loaded bytes, valid as long as they are.
  std::string_view ReadStringInPlace();

  // Prepares a storing archive for about n objects, so that large documents
  // are written without rehashing or regrowing.
  void ReserveObjects(std::size_t n);

  // Writes the object with its class record or class tag, or a back reference
  // when this archive has stored the same object before; nullptr writes a null tag.
  void WriteObject(const CObject* object);

  // Reads a new object and hands it over; nullptr for a null tag. A reference
  // back to an object read earlier would make two owners of one object and is
  // refused with BadIndex.
  std::unique_ptr<CObject> ReadOwnedObject();

  // The schema stored with the class of the object being loaded.
  std::uint16_t GetObjectSchema() const { return objectSchema_; }

  // Inline data that an object could not read as it was stored, while the
  // archive itself could go on. The object notes why; whoever reads the
  // objects takes the notes and tells which object they belong to.
  void NoteReadProblem(std::string reason) { readProblems_.push_back(std::move(reason)); }
  bool HasReadProblems() const { return !readProblems_.empty(); }
  std::vector<std::string> TakeReadProblems() { return std::exchange(readProblems_, {}); }

 private:
  // A class record read while loading; every other index up to mapCount_ is an object.
  struct LoadedClass {
    std::uint32_t index;
    const RuntimeClass* cls;
    std::uint16_t schema;
  };

  [[noreturn]] void Fail(ArchiveFailure failure, const std::string& detail) const;
  const RuntimeClass& ReadClassRecord(std::uint16_t& schema);
  // The class record loaded with `index`, or nullptr when the index names an object or nothing yet.
  const LoadedClass* FindLoadedClass(std::uint32_t index) const;

  const ClassRegistry& registry_;
  bool storing_;
  ByteReader reader_;
  ByteWriter writer_;
  std::uint32_t mapCount_ = 1;  // next index of the shared class/object sequence
  std::unordered_map<const RuntimeClass*, std::uint32_t> storedClasses_;
  std::unordered_map<const CObject*, std::uint32_t> storedObjects_;
  std::vector<LoadedClass> loadedClasses_;  // in index order
  std::uint16_t objectSchema_ = 0;
  std::vector<std::string> readProblems_;
};

}  // namespace lumetra
