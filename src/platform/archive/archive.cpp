#include "platform/archive/archive.h"

#include <algorithm>

namespace lumetra {
namespace {

constexpr std::uint16_t kNullTag = 0x0000;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::uint16_t kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000u;
constexpr std::size_t kMaxClassNameLength = 63;

}  // namespace

CArchive::CArchive(const ClassRegistry& registry) : registry_(registry), storing_(true), reader_({}) {}

CArchive::CArchive(std::span<const std::uint8_t> bytes, const ClassRegistry& registry)
    : registry_(registry), storing_(false), reader_(bytes) {}

void CArchive::Fail(ArchiveFailure failure, const std::string& detail) const {
  throw ArchiveError(failure, detail, reader_.Position());
}

void CArchive::Transfer(std::string& v) {
  if (storing_)
    WriteString(v);
  else
    v.assign(ReadStringInPlace());
}

void CArchive::Transfer(CPointArray& points) {
  if (storing_) {
    WriteCount(static_cast<std::uint32_t>(points.size()));
    for (CPoint& p : points) Transfer(p);
    return;
  }
  points.resize(ReadBoundedCount(sizeof(CPoint)));
  reader_.Read(points.data(), points.size() * sizeof(CPoint));
}

void CArchive::WriteCount(std::uint32_t n) {
  if (n < 0xFFFF) {
    writer_.WriteU16(static_cast<std::uint16_t>(n));
  } else {
    writer_.WriteU16(0xFFFF);
    writer_.WriteU32(n);
  }
}

std::uint32_t CArchive::ReadCount() {
  std::uint16_t n = reader_.ReadU16();
  return n != 0xFFFF ? n : reader_.ReadU32();
}

std::uint32_t CArchive::ReadBoundedCount(std::size_t itemBytes) {
  std::uint32_t n = ReadCount();
  if (static_cast<std::uint64_t>(n) * itemBytes > reader_.BytesLeft()) {
    Fail(ArchiveFailure::EndOfFile, "a count of " + std::to_string(n) + " items needs more than the " +
                                        std::to_string(reader_.BytesLeft()) + " bytes left");
  }
  return n;
}

void CArchive::WriteString(std::string_view s) {
  std::size_t n = s.size();
  if (n < 0xFF) {
    writer_.WriteU8(static_cast<std::uint8_t>(n));
  } else if (n < 0xFFFE) {
    writer_.WriteU8(0xFF);
    writer_.WriteU16(static_cast<std::uint16_t>(n));
  } else {
    writer_.WriteU8(0xFF);
    writer_.WriteU16(0xFFFF);
    writer_.WriteU32(static_cast<std::uint32_t>(n));
  }
  writer_.Write(s.data(), n);
}

std::string CArchive::ReadString() { return std::string(ReadStringInPlace()); }

std::string_view CArchive::ReadStringInPlace() {
  std::uint32_t n = reader_.ReadU8();
  if (n == 0xFF) {
    n = reader_.ReadU16();
    if (n == 0xFFFF) n = reader_.ReadU32();
  }
  if (n > reader_.BytesLeft()) {
    Fail(ArchiveFailure::EndOfFile, "a string of " + std::to_string(n) + " characters needs more than the " +
                                        std::to_string(reader_.BytesLeft()) + " bytes left");
  }
  const std::span<const std::uint8_t> chars = reader_.ReadInPlace(n);
  return {reinterpret_cast<const char*>(chars.data()), chars.size()};
}

void CArchive::ReserveObjects(std::size_t n) {
  storedObjects_.reserve(n);
  writer_.Reserve(writer_.Position() + n * 64);  // a typical unit record
}

void CArchive::WriteObject(const CObject* object) {
  if (object == nullptr) {
    writer_.WriteU16(kNullTag);
    return;
  }
  if (auto it = storedObjects_.find(object); it != storedObjects_.end()) {
    if (it->second < kBigObjectTag) {
      writer_.WriteU16(static_cast<std::uint16_t>(it->second));
    } else {
      writer_.WriteU16(kBigObjectTag);
      writer_.WriteU32(it->second);
    }
    return;
  }
  const RuntimeClass& cls = object->GetRuntimeClass();
  if (auto it = storedClasses_.find(&cls); it != storedClasses_.end()) {
    if (it->second < kBigObjectTag) {
      writer_.WriteU16(static_cast<std::uint16_t>(kClassTag | it->second));
    } else {
      writer_.WriteU16(kBigObjectTag);
      writer_.WriteU32(kBigClassTag | it->second);
    }
  } else {
    writer_.WriteU16(kNewClassTag);
    writer_.WriteU16(cls.schema);
    writer_.WriteU16(static_cast<std::uint16_t>(cls.name.size()));
    writer_.Write(cls.name.data(), cls.name.size());
    storedClasses_.emplace(&cls, mapCount_++);
  }
  storedObjects_.emplace(object, mapCount_++);
  const_cast<CObject*>(object)->Serialize(*this);
}

const RuntimeClass& CArchive::ReadClassRecord(std::uint16_t& schema) {
  schema = reader_.ReadU16();
  std::uint16_t length = reader_.ReadU16();
  if (length > kMaxClassNameLength) {
    Fail(ArchiveFailure::BadClass, "a class name of " + std::to_string(length) + " characters");
  }
  std::string name(length, '\0');
  reader_.Read(name.data(), length);
  const RuntimeClass* cls = registry_.Find(name);
  if (cls == nullptr) Fail(ArchiveFailure::BadClass, "unknown class \"" + name + "\"");
  if (cls->schema != schema && !cls->versionable) {
    Fail(ArchiveFailure::BadSchema, "class " + name + " stored with schema " + std::to_string(schema) + ", expected " +
                                        std::to_string(cls->schema));
  }
  return *cls;
}

const CArchive::LoadedClass* CArchive::FindLoadedClass(std::uint32_t index) const {
  const auto found = std::ranges::lower_bound(loadedClasses_, index, {}, &LoadedClass::index);
  return found != loadedClasses_.end() && found->index == index ? &*found : nullptr;
}

std::unique_ptr<CObject> CArchive::ReadOwnedObject() {
  std::uint16_t tag = reader_.ReadU16();
  std::uint32_t obTag = tag == kBigObjectTag ? reader_.ReadU32()
                                             : (std::uint32_t(tag & kClassTag) << 16) | std::uint32_t(tag & ~kClassTag);

  if ((obTag & kBigClassTag) == 0) {
    if (obTag == kNullTag) return nullptr;
    if (obTag >= mapCount_) {
      Fail(ArchiveFailure::BadIndex, "object index " + std::to_string(obTag) + " refers to no stored object");
    }
    if (FindLoadedClass(obTag)) {
      Fail(ArchiveFailure::BadClass, "index " + std::to_string(obTag) + " names a class where an object belongs");
    }
    Fail(ArchiveFailure::BadIndex, "object " + std::to_string(obTag) + " is referred to a second time");
  }

  const RuntimeClass* cls;
  std::uint16_t schema;
  if (tag == kNewClassTag) {
    cls = &ReadClassRecord(schema);
    loadedClasses_.push_back({mapCount_++, cls, schema});
  } else {
    const std::uint32_t classIndex = obTag & ~kBigClassTag;
    const LoadedClass* loaded = FindLoadedClass(classIndex);
    if (!loaded) {
      Fail(ArchiveFailure::BadIndex, "class index " + std::to_string(classIndex) + " refers to no stored class");
    }
    cls = loaded->cls;
    schema = loaded->schema;
  }

  std::unique_ptr<CObject> object = cls->create();
  ++mapCount_;
  std::uint16_t outerSchema = objectSchema_;
  objectSchema_ = schema;
  object->Serialize(*this);
  objectSchema_ = outerSchema;
  return object;
}

}  // namespace lumetra
