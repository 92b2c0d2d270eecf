#pragma once

#include <QtGlobal>

namespace vinarca {

// Report geometry is kept in screen units of 1/96 inch; layouts and paper are
// given in millimetres.
inline constexpr double kUnitsPerInch = 96.0;
inline constexpr double kMmPerInch = 25.4;
inline constexpr double kUnitsPerMm = kUnitsPerInch / kMmPerInch;
// Points (1/72 inch) per unit, for turning a font's pixel height into a point size.
inline constexpr double kPointsPerUnit = 72.0 / kUnitsPerInch;

class Length
{
public:
    constexpr Length() = default;
    static constexpr Length mm(double value) { return Length(value * kUnitsPerMm); }
    static constexpr Length units(double value) { return Length(value); }
    static constexpr Length points(double value) { return Length(value / kPointsPerUnit); }

    constexpr double mm() const { return m_units / kUnitsPerMm; }
    constexpr double units() const { return m_units; }
    constexpr double points() const { return m_units * kPointsPerUnit; }

    constexpr Length operator+(Length other) const { return Length(m_units + other.m_units); }
    constexpr Length operator-(Length other) const { return Length(m_units - other.m_units); }
    constexpr auto operator<=>(const Length&) const = default;

private:
    constexpr explicit Length(double units) : m_units(units) {}
    double m_units = 0;
};

} // namespace vinarca
