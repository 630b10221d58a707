// shtools rows: degree, order, C and S, then any error columns, which are left out.
#include "fields/coefficient_file.h"
#include "fields/coefficient_formats.h"
#include "fields/coefficient_terms.h"
#include "fields/coefficient_text.h"

CoefficientFile ReadShtoolsFile(const std::string& strPath, int32_t nMaxDegree)
{
    CColumnRows rows(strPath);
    CCoefficientTerms terms(strPath, nMaxDegree);
    while (rows.Next())
    {
        const CTextLines& line = rows.GetLines();
        const size_t nFields = line.GetFields().size();
        if (nFields < 4)
            line.Fail("a row needs degree, order, C and S, found " + std::to_string(nFields) + " numbers");
        terms.AddCosineSine(ReadCosineSineRow(line, 0), line.GetLineNumber());
    }
    CoefficientFile file;
    file.aTerms = terms.TakeTerms();
    TakeHeaderConstants(rows.GetHeaderNumbers(), file);
    return file;
}
