#include "fields/polarisation.h"

namespace {

constexpr NamedValue<PolarisedComponent> kComponentNames[] = {
    {"T", PolarisedComponent::kT, "the temperature, of the map I"},
    {"E", PolarisedComponent::kE, "the gradient part of Q + i U"},
    {"B", PolarisedComponent::kB, "the curl part of Q + i U"},
};

}  // namespace

NamedValues<PolarisedComponent> PolarisedComponentNamedValues()
{
    return AllNamed(kComponentNames);
}
