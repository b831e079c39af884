#pragma once
// The escape kernel written once for any register of `Lanes::kLanes` doubles: each
// instruction-set file supplies the few operations and includes this under its own target, so
// the code below is compiled for that instruction set only. Several registers are in flight at
// once to hide the latency of the recurrence; they share one row and stop together.

#include "fractals/FastEscapeKernels.h"

namespace fast {

namespace {

template<class Lanes> void EscapeColumns(const EscapeJob &job, int column)
{
    using V = typename Lanes::Vector;
    constexpr int kGroups = Lanes::kGroups;
    constexpr int kWidth = Lanes::kLanes * kGroups;
    const double *columns = job.columnValues + column;
    V columnValue[kGroups];
    for (int g = 0; g < kGroups; ++g)
        columnValue[g] = Lanes::Load(columns + g * Lanes::kLanes);
    const V bailout = Lanes::Set(job.bailout);
    const V two = Lanes::Set(2.0);
    const V one = Lanes::Set(1.0);
    const int count = job.width - column < kWidth ? job.width - column : kWidth;

    for (int row = 0; row < job.height; ++row) {
        const V rowValue = Lanes::Set(job.rowValues[row]);
        V x[kGroups], y[kGroups], cx[kGroups], cy[kGroups], xx[kGroups], yy[kGroups];
        V n[kGroups], active[kGroups];
        for (int g = 0; g < kGroups; ++g) {
            if (job.julia) {
                x[g] = columnValue[g];
                y[g] = rowValue;
                cx[g] = Lanes::Set(job.cx);
                cy[g] = Lanes::Set(job.cy);
            } else {
                x[g] = y[g] = Lanes::Set(0.0);
                cx[g] = columnValue[g];
                cy[g] = rowValue;
            }
            xx[g] = Lanes::Mul(x[g], x[g]);
            yy[g] = Lanes::Mul(y[g], y[g]);
            n[g] = Lanes::Set(kMaxIterations);
            active[g] = Lanes::AllSet();
        }
        // The 255th iteration is never tested: lanes still active then keep 255.
        V iteration = Lanes::Set(0.0);
        for (int i = 1; i < kMaxIterations; ++i) {
            iteration = Lanes::Add(iteration, one);
            int anyActive = 0;
            for (int g = 0; g < kGroups; ++g) {
                const V nx = Lanes::Add(Lanes::Sub(xx[g], yy[g]), cx[g]);
                const V ny = Lanes::Add(Lanes::Mul(Lanes::Mul(two, x[g]), y[g]), cy[g]);
                xx[g] = Lanes::Mul(nx, nx);
                yy[g] = Lanes::Mul(ny, ny);
                const V escaped
                    = Lanes::And(Lanes::GreaterThan(Lanes::Add(xx[g], yy[g]), bailout), active[g]);
                n[g] = Lanes::Select(escaped, iteration, n[g]);
                active[g] = Lanes::AndNot(escaped, active[g]);
                anyActive |= Lanes::AnySet(active[g]);
                x[g] = nx;
                y[g] = ny;
            }
            if (!anyActive)
                break;
        }
        alignas(64) double counts[kWidth];
        for (int g = 0; g < kGroups; ++g)
            Lanes::Store(counts + g * Lanes::kLanes, n[g]);
        uint8_t *out = job.buffer + static_cast<long>(row) * job.width + column;
        for (int k = 0; k < count; ++k)
            out[k] = static_cast<uint8_t>(counts[k]);
    }
}

template<class Lanes> void EscapeStripe(const EscapeJob &job, int column)
{
    constexpr int kWidth = Lanes::kLanes * Lanes::kGroups;
    for (int offset = 0; offset < kStripeWidth && column + offset < job.width; offset += kWidth)
        EscapeColumns<Lanes>(job, column + offset);
}

} // namespace

} // namespace fast
