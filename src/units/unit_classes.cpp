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

}  // namespace lumetra
