#include "jobs/geodetic_run.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "export/netcdf_writer.h"
#include "export/output_files.h"
#include "export/values_writer.h"
#include "jobs/map_drawing.h"
#include "jobs/model_quantity.h"
#include "jobs/netcdf_description.h"
#include "jobs/run_report.h"
#include "sht/angles.h"
#include "sht/finite_values.h"
#include "sht/grid_coordinates.h"

namespace {

DoubleArray ToArray(const std::vector<double>& aValues)
{
    DoubleArray aArray;
    aArray.SetSize(static_cast<int32_t>(aValues.size()));
    std::copy(aValues.begin(), aValues.end(), aArray.GetData());
    return aArray;
}

// CSV rows latitude,longitude,value of a grid of degrees.
void WriteDegreeCsv(COutputStream& stream, const std::vector<double>& aValues,
                    const std::vector<double>& aLatitudes, const std::vector<double>& aLongitudes)
{
    stream.Write("latitude,longitude,value\n");
    for (size_t i = 0; i < aLatitudes.size(); ++i)
        for (size_t j = 0; j < aLongitudes.size(); ++j)
            stream.Write(DecimalText(aLatitudes[i]) + ',' + DecimalText(aLongitudes[j]) + ',' +
                         DecimalText(aValues[i * aLongitudes.size() + j]) + '\n');
}

}  // namespace

void RunGeodetic(const Job& asked, IRunHooks& hooks)
{
    const GeodeticItems& items = asked.geodetic;
    std::vector<std::string> aWarnings;
    const GeodeticModel model = ReadGeodeticModel(asked, aWarnings);
    // The job's field is the model's, for what is said of it after the run.
    Job job = asked;
    job.field = model.potential.field;
    const QuantityInfo& info = *job.request.Value(opt::kQuantity);
    const bool bRate = items.bSecularVariation;

    std::string strPoints;
    for (const double dValue : QuantityAtPlaces(model, info, bRate, items.aPlaces))
    {
        CheckFiniteValues(&dValue, 1);
        strPoints += DecimalText(dValue) + '\n';
    }

    COutputSet outputs;
    if (!job.request.Value(opt::kValues).empty())
    {
        const std::vector<double> aLatitudes =
            items.grid ? GridLatitudes(*items.grid)
                       : SampleGridLatitudes(SampleGrid::kLobara, job.request.Value(opt::kTheta));
        const std::vector<double> aLongitudes =
            items.grid ? GridLongitudes(*items.grid) : SampleGridLongitudes(job.request.Value(opt::kPhi));
        std::vector<double> aValues;
        {
            CRunStep step(hooks, "sampling the field");
            aValues =
                QuantityOnGrid(model, info, bRate, aLatitudes, aLongitudes, job.request.Value(opt::kHeight),
                               [&step](int32_t nDone, int32_t nRows) { step.Advance(nDone, nRows); });
        }
        CheckFiniteValues(aValues.data(), aValues.size());
        const ValuesFormat format = ValuesFormatOf(job.request.Value(opt::kValues));
        outputs.Write(job.request.Value(opt::kValues), [&](COutputStream& stream) {
            if (format == ValuesFormat::kNetcdf)
                WriteNetcdfValues(
                    stream, aValues.data(),
                    ValuesNetcdfGrid(job, bRate, aLatitudes, aLongitudes,
                                     items.grid ? "degrees" : SampleGridName(SampleGrid::kLobara)));
            else if (items.grid && format == ValuesFormat::kCsv)
                WriteDegreeCsv(stream, aValues, aLatitudes, aLongitudes);
            else
                WriteValues(stream, ToArray(aValues), format, static_cast<int32_t>(aLatitudes.size()),
                            static_cast<int32_t>(aLongitudes.size()));
        });
    }
    if (job.kind == JobKind::kMap)
    {
        const MapSampler sample = [&](int32_t nRows, int32_t nColumns, const BuildProgress& onRow) {
            return ToArray(QuantityOnGrid(model, info, bRate, SampleGridLatitudes(SampleGrid::kLobara, nRows),
                                          SampleGridLongitudes(nColumns), job.request.Value(opt::kHeight),
                                          onRow));
        };
        DrawMapOfSamples(job, model.potential.field, sample, QuantityCaption(&info, bRate), hooks);
    }
    if (!strPoints.empty())
        hooks.Print(strPoints);
    outputs.Commit();
    // A grid of degrees is not the sample grid, whose fineness the warnings weigh.
    if (items.grid)
        job.request.Value(opt::kValues).clear();
    TellAfterRun(job, aWarnings, hooks);
}
