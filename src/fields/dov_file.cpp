// dov rows: degree, order and one value, the sine coefficient S(l, |m|) at a negative order,
// then any error column, which is left out.
#include "fields/coefficient_file.h"
#include "fields/coefficient_formats.h"
#include "fields/coefficient_terms.h"
#include "fields/coefficient_text.h"

CoefficientFile ReadDovFile(const std::string& strPath, int32_t nMaxDegree)
{
    CColumnRows rows(strPath);
    CCoefficientTerms terms(strPath, nMaxDegree);
    while (rows.Next())
    {
        const CTextLines& line = rows.GetLines();
        const size_t nFields = line.GetFields().size();
        if (nFields < 3)
            line.Fail("a row needs degree, order and value, found " + std::to_string(nFields) + " numbers");
        const int64_t l = line.WholeNumber(0, "the degree");
        const int64_t m = line.WholeNumber(1, "the order");
        terms.Add(l, m, line.Number(2, "the value"), line.GetLineNumber());
    }
    CoefficientFile file;
    file.aTerms = terms.TakeTerms();
    TakeHeaderConstants(rows.GetHeaderNumbers(), file);
    return file;
}
