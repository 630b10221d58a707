#include "jobs/value_caption.h"

#include <gtest/gtest.h>

#include "geodesy/field_quantity.h"

// The colour bar's caption names what the colours show in the units the README gives: a model's
// quantity in its own unit, an orbital's psi in a0^(-3/2), |psi|^2 in a0^(-3); a field of
// harmonics has none.
TEST(ValueCaption, NamesTheQuantityAndItsUnit)
{
    Job job;
    EXPECT_EQ(ValueCaption(job), "");
    job.request.Set(opt::kQuantity, FindQuantity("geoid"));
    EXPECT_EQ(ValueCaption(job), "geoid height (m)");

    Job orbital;
    orbital.kind = JobKind::kOrbital;
    orbital.colorMode = ColorMode::kValue;
    EXPECT_EQ(ValueCaption(orbital), "ψ (a0^−3/2)");
    orbital.colorMode = ColorMode::kPhase;
    EXPECT_EQ(ValueCaption(orbital), "the phase of ψ");

    Job slice;
    slice.kind = JobKind::kSlice;
    slice.orbital.sliceQuantity = SliceQuantity::kDensity;
    EXPECT_EQ(ValueCaption(slice), "|ψ|² (a0^−3)");
}
