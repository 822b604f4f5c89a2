#pragma once
// Objects that the archive can store polymorphically: each names its run-time
// class, which carries the stored class name, the schema and a factory.

#include <cstdint>
#include <memory>
#include <string_view>

namespace lumetra {

class CArchive;
class CObject;

struct RuntimeClass {
  std::string_view name;  // as stored in the file
  std::uint16_t schema;   // written with the class record
  bool versionable;       // loading hands other schemas to Serialize instead of failing
  std::unique_ptr<CObject> (*create)();
};

class CObject {
 public:
  virtual ~CObject() = default;
  virtual const RuntimeClass& GetRuntimeClass() const = 0;
  virtual void Serialize(CArchive& ar) = 0;
};

}  // namespace lumetra

// Gives a class its run-time class record; pair with LUMETRA_IMPLEMENT_SERIAL in the source.
#define LUMETRA_DECLARE_SERIAL(Class)                 \
 public:                                              \
  static const ::lumetra::RuntimeClass kRuntimeClass; \
  const ::lumetra::RuntimeClass& GetRuntimeClass() const override { return kRuntimeClass; }

#define LUMETRA_IMPLEMENT_SERIAL(Class, schema, versionable) \
  const ::lumetra::RuntimeClass Class::kRuntimeClass{        \
      #Class, schema, versionable, []() -> std::unique_ptr<::lumetra::CObject> { return std::make_unique<Class>(); }};
