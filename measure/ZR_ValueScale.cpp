#include "measure/ZR_ValueScale.h"

#include <algorithm>
#include <cmath>

double ZR_ValueScale::Spread(double spread) const { return spread * std::fabs(m_dSlope); }

double ZR_ValueScale::Lowest(double low, double high) const { return std::min(Value(low), Value(high)); }

double ZR_ValueScale::Highest(double low, double high) const { return std::max(Value(low), Value(high)); }
