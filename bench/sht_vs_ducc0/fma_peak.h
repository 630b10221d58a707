#pragma once

// The processor's peak of double-precision multiply-adds on one thread, in GFlop/s of the thread's
// own CPU time: independent chains of fused multiply-adds on vectors of 512 and of 256 bits (0 where
// the build or the processor has none).
struct FmaPeak
{
    double d512;
    double d256;
};
FmaPeak MeasureFmaPeak();
