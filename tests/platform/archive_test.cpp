#include "platform/archive/archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <tuple>
#include <vector>

namespace lumetra {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A small object to exercise the object encodings without the unit classes.
class Probe : public CObject {
  LUMETRA_DECLARE_SERIAL(Probe)
 public:
  std::int32_t value = 0;
  void Serialize(CArchive& ar) override { ar.Transfer(value); }
};
LUMETRA_IMPLEMENT_SERIAL(Probe, 3, false)

class OtherProbe : public Probe {
  LUMETRA_DECLARE_SERIAL(OtherProbe)
};
LUMETRA_IMPLEMENT_SERIAL(OtherProbe, 1, true)

const ClassRegistry& Registry() {
  static const ClassRegistry registry{&Probe::kRuntimeClass, &OtherProbe::kRuntimeClass};
  return registry;
}

Bytes Store(const std::function<void(CArchive&)>& write) {
  CArchive ar(Registry());
  write(ar);
  return ar.Output().TakeBytes();
}

ArchiveFailure FailureOf(const Bytes& bytes, const std::function<void(CArchive&)>& read) {
  CArchive ar(bytes, Registry());
  try {
    read(ar);
  } catch (const ArchiveError& e) {
    return e.failure();
  }
  ADD_FAILURE() << "no error";
  return ArchiveFailure::BadIndex;
}

void ReadObjects(CArchive& ar, int n) {
  for (int i = 0; i < n; ++i) ar.ReadOwnedObject();
}

TEST(Archive, CountUsesTheLongFormFrom0xFFFF) {
  EXPECT_EQ(Store([](CArchive& ar) { ar.WriteCount(0xFFFE); }), (Bytes{0xFE, 0xFF}));
  EXPECT_EQ(Store([](CArchive& ar) { ar.WriteCount(0xFFFF); }), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 0}));
  Bytes longForm{0xFF, 0xFF, 0x01, 0x00, 0x01, 0x00};
  CArchive ar(longForm, Registry());
  EXPECT_EQ(ar.ReadCount(), 0x10001u);
}

TEST(Archive, StringLengthHasThreeForms) {
  auto prefixOf = [](std::size_t n) {
    Bytes b = Store([&](CArchive& ar) { ar.WriteString(std::string(n, 'x')); });
    EXPECT_EQ(b.size() - n, b[0] < 0xFF ? 1u : (b[1] == 0xFF && b[2] == 0xFF ? 7u : 3u));
    return Bytes(b.begin(), b.end() - static_cast<std::ptrdiff_t>(n));
  };
  EXPECT_EQ(prefixOf(0), (Bytes{0x00}));
  EXPECT_EQ(prefixOf(254), (Bytes{0xFE}));
  EXPECT_EQ(prefixOf(255), (Bytes{0xFF, 0xFF, 0x00}));
  EXPECT_EQ(prefixOf(0xFFFD), (Bytes{0xFF, 0xFD, 0xFF}));
  EXPECT_EQ(prefixOf(0xFFFE), (Bytes{0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));
  for (std::size_t n : {1u, 254u, 255u, 0xFFFDu, 0xFFFEu, 0x12345u}) {
    std::string s(n, 'a');
    s.back() = 'z';
    Bytes b = Store([&](CArchive& ar) { ar.WriteString(s); });
    CArchive in(b, Registry());
    EXPECT_EQ(in.ReadString(), s) << n;
    EXPECT_EQ(in.Input().BytesLeft(), 0u);
  }
}

TEST(Archive, PrimitivesAreLittleEndianWithoutPadding) {
  Bytes b = Store([](CArchive& ar) {
    std::uint8_t byte = 0xAB;
    std::int32_t i = -2;
    std::uint32_t u = 0x01020304;
    double d = 1.5;
    CPoint p{10, -20};
    ar.Transfer(byte);
    ar.Transfer(i);
    ar.Transfer(u);
    ar.Transfer(d);
    ar.Transfer(p);
  });
  EXPECT_EQ(b, (Bytes{0xAB, 0xFE, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01, 0,    0,    0,   0,
                      0,    0,    0xF8, 0x3F, 0x0A, 0,    0,    0,    0xEC, 0xFF, 0xFF, 0xFF}));
}

TEST(Archive, ObjectsShareOneIndexSequenceWithTheirClasses) {
  Probe a, b;
  OtherProbe c;
  Bytes bytes = Store([&](CArchive& ar) {
    ar.WriteObject(&a);  // class 1, object 2
    ar.WriteObject(&b);  // object 3 of class 1
    ar.WriteObject(&c);  // class 4, object 5
    ar.WriteObject(&b);  // back reference to 3
    ar.WriteObject(nullptr);
  });
  Bytes expected{0xFF, 0xFF, 3, 0, 5,  0,    'P',  'r', 'o', 'b', 'e', 0,   0,   0,   0,  // new class record
                 0x01, 0x80, 0, 0, 0,  0,                                                 // known class 1
                 0xFF, 0xFF, 1, 0, 10, 0,    'O',  't', 'h', 'e', 'r', 'P', 'r', 'o', 'b',
                 'e',  0,    0, 0, 0,  0x03, 0x00,  // object 3 again
                 0x00, 0x00};                       // null
  EXPECT_EQ(bytes, expected);
}

TEST(Archive, LongTagsFrom0x7FFF) {
  // 0x7FFF objects of one class: the class takes index 1, the objects 2..0x8000.
  std::vector<Probe> probes(0x7FFF);
  for (std::size_t i = 0; i < probes.size(); ++i) probes[i].value = static_cast<std::int32_t>(i);
  OtherProbe late;
  late.value = -7;
  Bytes bytes = Store([&](CArchive& ar) {
    for (Probe& p : probes) ar.WriteObject(&p);
    ar.WriteObject(&late);       // new class record: class 0x8001, object 0x8002
    ar.WriteObject(&late);       // back reference to object 0x8002: long object tag
    ar.WriteObject(&probes[1]);  // object 3: short back reference
    OtherProbe another;
    ar.WriteObject(&another);  // class 0x8001 is past 0x7FFE: long class tag
  });
  std::size_t tail = bytes.size() - (6 + 2 + 6 + 4);
  EXPECT_EQ(Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(tail), bytes.end()),
            (Bytes{0xFF, 0x7F, 0x02, 0x80, 0x00, 0x00,  // long object tag
                   0x03, 0x00,                          // short object tag
                   0xFF, 0x7F, 0x01, 0x80, 0x00, 0x80,  // long class tag 0x80000000 | 0x8001
                   0, 0, 0, 0}));

  Bytes head(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(tail));
  CArchive ar(head, Registry());
  for (std::size_t i = 0; i < probes.size(); ++i) {
    auto object = ar.ReadOwnedObject();
    ASSERT_EQ(static_cast<Probe&>(*object).value, static_cast<std::int32_t>(i));
  }
  EXPECT_EQ(static_cast<Probe&>(*ar.ReadOwnedObject()).value, -7);

  Bytes longClassOnly = Store([&](CArchive& out) {
    for (Probe& p : probes) out.WriteObject(&p);
    out.WriteObject(&late);
    OtherProbe another;
    another.value = 99;
    out.WriteObject(&another);
  });
  CArchive in(longClassOnly, Registry());
  ReadObjects(in, 0x8000);
  auto last = in.ReadOwnedObject();
  EXPECT_EQ(&last->GetRuntimeClass(), &OtherProbe::kRuntimeClass);
  EXPECT_EQ(static_cast<Probe&>(*last).value, 99);
}

TEST(Archive, VersionableClassesHandTheStoredSchemaToSerialize) {
  Bytes bytes{0xFF, 0xFF, 7, 0, 10, 0, 'O', 't', 'h', 'e', 'r', 'P', 'r', 'o', 'b', 'e', 1, 0, 0, 0};
  CArchive ar(bytes, Registry());
  EXPECT_NE(ar.ReadOwnedObject(), nullptr);
}

TEST(Archive, EveryLoadingFailureHasItsCause) {
  auto one = [](CArchive& ar) { ar.ReadOwnedObject(); };
  auto two = [](CArchive& ar) { ReadObjects(ar, 2); };
  // Unknown class name, and a name of 64 characters.
  EXPECT_EQ(FailureOf({0xFF, 0xFF, 1, 0, 3, 0, 'F', 'o', 'o'}, one), ArchiveFailure::BadClass);
  Bytes longName{0xFF, 0xFF, 1, 0, 64, 0};
  longName.resize(longName.size() + 64, 'A');
  EXPECT_EQ(FailureOf(longName, one), ArchiveFailure::BadClass);
  // A tag naming the class (index 1) where an object belongs.
  EXPECT_EQ(FailureOf({0xFF, 0xFF, 3, 0, 5, 0, 'P', 'r', 'o', 'b', 'e', 0, 0, 0, 0, 0x01, 0x00}, two),
            ArchiveFailure::BadClass);
  // Wrong schema for a class that is not versionable.
  EXPECT_EQ(FailureOf({0xFF, 0xFF, 2, 0, 5, 0, 'P', 'r', 'o', 'b', 'e', 0, 0, 0, 0}, one), ArchiveFailure::BadSchema);
  // Truncated inside the class record, inside the object, and a string longer than the file.
  EXPECT_EQ(FailureOf({0xFF, 0xFF, 3, 0, 5, 0, 'P', 'r'}, one), ArchiveFailure::EndOfFile);
  EXPECT_EQ(FailureOf({0xFF, 0xFF, 3, 0, 5, 0, 'P', 'r', 'o', 'b', 'e', 0, 0}, one), ArchiveFailure::EndOfFile);
  EXPECT_EQ(FailureOf({0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}, [](CArchive& ar) { ar.ReadString(); }),
            ArchiveFailure::EndOfFile);
  EXPECT_EQ(FailureOf({}, one), ArchiveFailure::EndOfFile);
  // Object and class indexes that refer to nothing.
  EXPECT_EQ(FailureOf({0x05, 0x00}, one), ArchiveFailure::BadIndex);
  EXPECT_EQ(FailureOf({0x01, 0x80, 0, 0, 0, 0}, one), ArchiveFailure::BadIndex);
  EXPECT_EQ(FailureOf({0x00, 0x80}, one), ArchiveFailure::BadIndex);
  EXPECT_EQ(FailureOf({0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF}, one), ArchiveFailure::BadIndex);
  // A class tag that points at an object entry.
  EXPECT_EQ(FailureOf({0xFF, 0xFF, 3, 0, 5, 0, 'P', 'r', 'o', 'b', 'e', 0, 0, 0, 0, 0x02, 0x80, 0, 0, 0, 0}, two),
            ArchiveFailure::BadIndex);
}

TEST(Archive, ValuesTransferredTogetherFailAtTheValueTheBytesRunOutIn) {
  std::uint8_t flag = 7;
  std::int32_t number = -2;
  double ratio = 0.5;
  CPoint point{3, -4};
  const Bytes stored = Store([&](CArchive& ar) { ar.TransferEach(flag, number, ratio, point); });
  ASSERT_EQ(stored.size(), 21u);
  std::uint8_t f = 0;
  std::int32_t n = 0;
  double r = 0;
  CPoint p;
  CArchive whole(stored, Registry());
  whole.TransferEach(f, n, r, p);
  EXPECT_EQ(std::tuple(f, n, r, p), std::tuple(flag, number, ratio, point));
  // Cut anywhere, the load fails at the start of the value it cuts.
  constexpr std::size_t kValueStarts[] = {0, 1, 5, 13};
  for (std::size_t cut = 0; cut < stored.size(); ++cut) {
    CArchive in(std::span<const std::uint8_t>(stored).first(cut), Registry());
    try {
      in.TransferEach(f, n, r, p);
      ADD_FAILURE() << "no failure at " << cut;
    } catch (const ArchiveError& e) {
      EXPECT_EQ(e.offset(), *(std::upper_bound(std::begin(kValueStarts), std::end(kValueStarts), cut) - 1)) << cut;
    }
  }
}

TEST(Archive, ABackReferenceNeverMakesASecondOwner) {
  Probe p;
  Bytes bytes = Store([&](CArchive& ar) {
    ar.WriteObject(&p);
    ar.WriteObject(&p);
  });
  EXPECT_EQ(FailureOf(bytes, [](CArchive& ar) { ReadObjects(ar, 2); }), ArchiveFailure::BadIndex);
}

TEST(Archive, CountsLargerThanTheRestOfTheFileAreRefusedBeforeAllocating) {
  Bytes bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3};
  EXPECT_EQ(FailureOf(bytes, [](CArchive& ar) { ar.ReadBoundedCount(8); }), ArchiveFailure::EndOfFile);
  CPointArray points;
  EXPECT_EQ(FailureOf(bytes, [&](CArchive& ar) { ar.Transfer(points); }), ArchiveFailure::EndOfFile);
  Bytes two{0x02, 0x00, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0};
  CArchive ar(two, Registry());
  ar.Transfer(points);
  EXPECT_EQ(points, (CPointArray{{1, 2}, {3, 4}}));
}

TEST(Archive, ErrorsNameTheirByteOffset) {
  Bytes bytes{0xFF, 0xFF, 1, 0, 3, 0, 'F', 'o', 'o'};
  CArchive ar(bytes, Registry());
  try {
    ar.ReadOwnedObject();
    FAIL();
  } catch (const ArchiveError& e) {
    EXPECT_EQ(e.offset(), 9u);
    EXPECT_NE(std::string(e.what()).find("unknown class \"Foo\""), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace lumetra
