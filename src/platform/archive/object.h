#pragma once
// Objects that the archive can store polymorphically: each names its run-time
// class, which carries the stored class name, the schema and a factory, and
// which tells objects of a final class apart without dynamic_cast.

#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>

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

// A final class with a run-time class record of its own (not one inherited
// from its base): no other class's objects carry that record.
template <class Class>
concept OwnRecordFinalClass =
    std::is_final_v<Class> && std::is_base_of_v<CObject, Class> &&
    std::is_same_v<decltype(&Class::GetRuntimeClass), const RuntimeClass& (Class::*)() const>;

// `object` as a `Class`, or nullptr: what dynamic_cast would answer, without
// comparing type names.
template <OwnRecordFinalClass Class>
Class* ObjectCast(CObject* object) {
  return object && &object->GetRuntimeClass() == &Class::kRuntimeClass ? static_cast<Class*>(object) : nullptr;
}
template <OwnRecordFinalClass Class>
const Class* ObjectCast(const CObject* object) {
  return ObjectCast<Class>(const_cast<CObject*>(object));
}

}  // namespace lumetra

// Gives a class its run-time class record; pair with LUMETRA_IMPLEMENT_SERIAL in the source.
#define LUMETRA_DECLARE_SERIAL(Class)                 \
 public:                                              \
  static const ::lumetra::RuntimeClass kRuntimeClass; \
  const ::lumetra::RuntimeClass& GetRuntimeClass() const override { return kRuntimeClass; }

// The factory default-initialises the object: such a class sets every member
// in its constructor or member initialisers, so no zero fill need come first.
#define LUMETRA_IMPLEMENT_SERIAL(Class, schema, versionable) \
  const ::lumetra::RuntimeClass Class::kRuntimeClass{        \
      #Class, schema, versionable,                           \
      []() -> std::unique_ptr<::lumetra::CObject> { return std::make_unique_for_overwrite<Class>(); }};
