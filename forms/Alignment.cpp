#include "forms/Alignment.h"

#include "forms/Properties.h"

namespace tarvola {

TAlignment PropAlignment(std::string_view value, std::string_view property) {
    return PropChoice<TAlignment>(value, property,
                                  {{"taLeftJustify", TAlignment::taLeftJustify},
                                   {"taRightJustify", TAlignment::taRightJustify},
                                   {"taCenter", TAlignment::taCenter}});
}

} // namespace tarvola
