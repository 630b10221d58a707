// The plan's rules and defaults on requests made directly, as a front end makes them, with no
// command line.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "jobs/job.h"
#include "options/request_error.h"

namespace {

// The request of options by name, each with its value as text ("" for a flag).
Request RequestOf(const std::vector<std::pair<std::string, std::string>>& aOptions)
{
    Request request;
    for (const auto& [strName, strValue] : aOptions)
    {
        const COptionBase* pOption = FindOption(strName);
        if (pOption == nullptr)
            throw std::logic_error("no option " + strName);
        pOption->Apply(strValue, request);
    }
    return request;
}

// The plan's refusal, or "" where it plans the request.
std::string Refusal(const std::vector<std::pair<std::string, std::string>>& aOptions)
{
    try
    {
        PlanJob(RequestOf(aOptions));
        return "";
    }
    catch (const RequestError& error)
    {
        return error.what();
    }
}

struct RuleCase
{
    std::vector<std::pair<std::string, std::string>> aOptions;
    const char* pszRefusal;  // the whole line; "" where the request is planned
};

TEST(PlanJob, RefusesWhatDoesNotGoTogetherAndNothingElse)
{
    const RuleCase aCases[] = {
        {{{"--term", "1,0,1"}, {"--coeffs", "f.gfc"}, {"--stats", ""}},
         "-l and -m, --term, --acn, --coeffs, --orbital, --analyze and --hydrogen each give the whole field: "
         "give "
         "one of them"},
        {{{"-l", "3"}, {"-m", "1"}, {"--stats", ""}}, ""},
        {{{"--map", "mollweide"}, {"--stats", ""}}, "--map needs --out"},
        {{{"--map", "mollweide"}, {"--out", "m.png"}, {"--at", "1,2"}},
         "--map makes only the map picture, on a grid of its own: --at does not go with it"},
        {{{"--map", "ortho"}, {"--out", "m.png"}, {"--theta", "30"}},
         "--map makes only the map picture, on a grid of its own: --theta does not go with it"},
        // Headerless values take their shape from --theta and --phi, which then go with a map.
        {{{"--map", "ortho"}, {"--out", "m.png"}, {"--analyze", "v.raw"}, {"--theta", "3"}, {"--phi", "4"}},
         ""},
        {{{"--hydrogen", "2,1,0"}, {"--rotate", "zyz:1,2,3"}, {"--stats", ""}},
         "a hydrogen-like orbital gives its boundary surface or --slice: --rotate does not go with it"},
        {{{"--orbital", "2p_z"}, {"--lmax", "3"}, {"--stats", ""}},
         "a hydrogen-like orbital gives its boundary surface or --slice: --lmax does not go with it"},
        {{{"--charge", "2"}, {"--stats", ""}},
         "--charge goes with --hydrogen or an --orbital name with a principal number (2p_z)"},
        {{{"--hydrogen", "3"}, {"--stats", ""}},
         "--hydrogen N alone draws the table of that N's orbitals: it needs --table (or give N,L,M)"},
        {{{"--hydrogen", "3,1,0"}, {"--table", ""}, {"--out", "t.png"}},
         "--table with --hydrogen takes N alone and draws every orbital of that N, not '3,1,0'"},
        {{{"--hydrogen", "2"}, {"--table", "2"}, {"--out", "t.png"}},
         "--table 2 with --hydrogen 2: the orbitals of N = 2 reach l = 1"},
        {{{"--table", "3"}, {"--out", "t.png"}, {"--term", "1,0,1"}},
         "--table makes only the table picture: --term does not go with it"},
        {{{"--table", ""}, {"--out", "t.png"}},
         "--table needs LMAX (it may be left out with --hydrogen N, whose orbitals reach l = N - 1)"},
        {{{"--hydrogen", "2,1,0"}, {"--enclose", "0.5"}, {"--iso", "0.1"}, {"--stats", ""}},
         "--enclose and --iso each choose the surface: give one of them"},
        {{{"--hydrogen", "2,1,0"}, {"--density", ""}, {"--stats", ""}},
         "--density gives |psi|^2 of --slice, --at, --values or --cube: it needs one of them"},
        {{{"--hydrogen", "2,1,0"}, {"--slice", "xy"}, {"--stats", ""}, {"--out", "s.png"}},
         "--slice makes only the flat picture of the orbital: --stats does not go with it"},
        {{{"--scale", "10"}, {"--stats", ""}}, "--scale sizes the model of --mesh: it needs --mesh"},
        {{{"--core", "1"}, {"--radius", "abs"}, {"--stats", ""}},
         "--core R is --radius offset:R: give one of them"},
        {{{"--out-cs", ""}, {"--stats", ""}},
         "--out-cs sets the convention of --coeffs-out: it needs --coeffs-out"},
        {{{"--convention", "physics"}, {"--cs", ""}, {"--stats", ""}},
         "--convention sets --norm, --cs and --sine at once: give it or them"},
        {{{"--grid", "gl"}, {"--stats", ""}},
         "--grid says where the values of --analyze or --values lie: it needs one of them"},
        {{{"--coeffs", "f.gfc"}, {"--height", "10"}, {"--stats", ""}},
         "--height places --quantity: it goes with nothing else"},
        {{{"--epoch", "2010.5"}, {"--stats", ""}},
         "--epoch reads the model of --coeffs: it goes with nothing else"},
        {{{"--complex", ""}, {"--spectrum", "p.csv"}},
         "--spectrum works on real coefficients: --complex does not go with it"},
        {{{"--analyze", "v.npy"}, {"--complex", ""}, {"--stats", ""}},
         "--complex does not go with --analyze: sampled values are real"},
        {{{"--lmin", "3"}, {"--lmax", "2"}, {"--stats", ""}},
         "--lmin 3 is above --lmax 2: the band keeps no degree"},
        {{{"--values", "a.csv"}, {"--spectrum", "a.csv"}},
         "--values and --spectrum name the same file 'a.csv': each output needs a file of its own"},
        {{{"--table-scale", "common"}, {"--stats", ""}}, "--table-scale goes with --table"},
        {{{"--turntable", "4"}, {"--stats", ""}}, "--turntable needs --out"},
        {{},
         "nothing to do: give --stats, --at THETA,PHI, --at-geodetic LAT,LON,H, --values FILE, --mesh FILE, "
         "--out FILE.png, --html FILE, --coeffs-out FILE, --spectrum FILE or, of an orbital, --cube FILE"},
        {{{"-l", "2"}, {"--at", "1,0,1"}},
         "--at takes THETA,PHI of a field on the sphere; X,Y,Z go with --hydrogen"},
        {{{"--hydrogen", "2,1,0"}, {"--at", "1,0"}},
         "--at with a hydrogen-like orbital takes a point X,Y,Z in Bohr radii"},
        {{{"--hydrogen", "2,1,0"}, {"--cube-size", "10"}, {"--stats", ""}},
         "--cube-size sizes the box of --cube or --values: it needs one of them"},
        {{{"--hydrogen", "2,1,0"}, {"--cube", "c.cube"}, {"--values", "c.cube"}},
         "--values and --cube name the same file 'c.cube': each output needs a file of its own"},
    };
    for (const RuleCase& rule : aCases)
    {
        std::string strAsked;
        for (const auto& [strName, strValue] : rule.aOptions)
            strAsked += " " + strName + " " + strValue;
        EXPECT_EQ(Refusal(rule.aOptions), rule.pszRefusal) << strAsked;
    }
}

TEST(PlanJob, ChoosesTheDefaultsOfTheDeclarationsAndOfTheRequest)
{
    const Job surface = PlanJob(RequestOf({{"--stats", ""}}));
    EXPECT_EQ(surface.kind, JobKind::kSurface);
    EXPECT_TRUE(surface.bHarmonic);
    ASSERT_EQ(surface.field.aTerms.size(), 1u);
    EXPECT_EQ(surface.field.aTerms[0].l, 2);  // the viewer's Y(2, 0)
    EXPECT_EQ(surface.field.aTerms[0].m, 0);
    EXPECT_EQ(surface.request.Value(opt::kTheta), 480);
    EXPECT_EQ(surface.request.Value(opt::kPhi), 240);
    EXPECT_EQ(surface.colorMode, ColorMode::kSign);
    EXPECT_EQ(surface.camera.from[1], -1.0);

    // A map colours by value, a complex field by its phase, unless told.
    EXPECT_EQ(PlanJob(RequestOf({{"--map", "equirect"}, {"--out", "m.png"}})).colorMode, ColorMode::kValue);
    EXPECT_EQ(PlanJob(RequestOf({{"--complex", ""}, {"--stats", ""}})).colorMode, ColorMode::kPhase);
    // The spectrum's plot is white unless told.
    EXPECT_EQ(PlanJob(RequestOf({{"--spectrum", "p.png"}})).plotBackground, Background::kWhite);

    const Job table = PlanJob(RequestOf({{"--hydrogen", "3"}, {"--table", ""}, {"--out", "t.png"}}));
    EXPECT_EQ(table.kind, JobKind::kTable);
    EXPECT_TRUE(table.bHydrogenTable);
    EXPECT_EQ(table.nTableMax, 2);

    // An orbital's camera fits it unless placed; the surface encloses 0.9 unless told.
    const Job orbital = PlanJob(RequestOf({{"--orbital", "2p_z"}, {"--stats", ""}}));
    EXPECT_EQ(orbital.kind, JobKind::kOrbital);
    EXPECT_TRUE(orbital.bFit);
    EXPECT_EQ(orbital.orbital.level.kind, LevelKind::kEnclose);
    EXPECT_EQ(orbital.orbital.level.dValue, 0.9);

    // A band of terms is kept as asked.
    const Job band =
        PlanJob(RequestOf({{"--term", "1,0,1"}, {"--term", "3,1,2"}, {"--lmin", "2"}, {"--stats", ""}}));
    ASSERT_EQ(band.field.aTerms.size(), 1u);
    EXPECT_EQ(band.field.aTerms[0].l, 3);
}

}  // namespace
