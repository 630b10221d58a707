// Answers questions about the colour maps, one a line on stdin, with "r g b" on stdout, for the
// colour maps' test to compare with matplotlib:
//   map NAME t            MapColor
//   value NAME v low high ValueColor
//   phase NAME re im      PhaseColor
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "colour/color_maps.h"

int main()
{
    std::string strLine;
    while (std::getline(std::cin, strLine))
    {
        std::istringstream line(strLine);
        std::string strQuestion, strName;
        line >> strQuestion >> strName;
        std::vector<double> aNumbers;
        for (double d = 0.0; line >> d;)
            aNumbers.push_back(d);
        const ColorMap* pMap = FindColorMap(strName);
        const size_t nNeeded = strQuestion == "map" ? 1 : strQuestion == "phase" ? 2 : 3;
        if (pMap == nullptr || aNumbers.size() != nNeeded)
        {
            std::cerr << "not a question: " << strLine << "\n";
            return 1;
        }
        const Rgb8 rgb = strQuestion == "map"     ? MapColor(*pMap, aNumbers[0])
                         : strQuestion == "phase" ? PhaseColor(*pMap, aNumbers[0], aNumbers[1])
                                                  : ValueColor(*pMap, aNumbers[0], aNumbers[1], aNumbers[2]);
        std::cout << int{rgb[0]} << " " << int{rgb[1]} << " " << int{rgb[2]} << "\n";
    }
    return 0;
}
