#include "units/unit_classes.h"

#include "units/bmp.h"
#include "units/curve.h"
#include "units/ellipse.h"
#include "units/ellipse_arc.h"
#include "units/li_ellipse.h"
#include "units/line.h"
#include "units/poly_bezier.h"
#include "units/polygon.h"
#include "units/rectangle.h"
#include "units/round.h"
#include "units/round_arc.h"
#include "units/round_rectangle.h"
#include "units/text.h"
#include "units/timer.h"

namespace lumetra {

const ClassRegistry& UnitClasses() {
  static const ClassRegistry registry{
      &CUnit::kRuntimeClass,           &CDLine::kRuntimeClass,   &CRectangle::kRuntimeClass,
      &CRoundRectangle::kRuntimeClass, &CEllipse::kRuntimeClass, &CCurve::kRuntimeClass,
      &CText::kRuntimeClass,           &CTimer::kRuntimeClass,   &CBmp::kRuntimeClass,
      &CLiEllipse::kRuntimeClass,      &CRound::kRuntimeClass,   &CEllipseArc::kRuntimeClass,
      &CRoundArc::kRuntimeClass,       &CPolygon::kRuntimeClass, &CPolyBezier::kRuntimeClass,
  };
  return registry;
}

std::vector<std::unique_ptr<CUnit>> ReadUnitArray(CArchive& ar, std::vector<UnitReadProblem>& problems,
                                                  const std::function<void(CUnit&)>& settle) {
  // The smallest entry is a two-byte tag.
  constexpr std::size_t kMinObjectBytes = 2;
  const std::uint32_t count = ar.ReadBoundedCount(kMinObjectBytes);
  std::vector<std::unique_ptr<CUnit>> units;
  units.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = ar.Input().Position();
    std::unique_ptr<CObject> object = ar.ReadOwnedObject();
    if (!object) throw ArchiveError(ArchiveFailure::BadIndex, "a null entry in the unit array", at);
    for (std::string& reason : ar.TakeReadProblems()) problems.push_back({i, std::move(reason)});
    // Every registered class is a unit, so this cast cannot fail.
    units.emplace_back(static_cast<CUnit*>(object.release()));
    if (settle) settle(*units.back());
  }
  return units;
}

}  // namespace lumetra
