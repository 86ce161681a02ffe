// Putting the argument into a skin's program text literally.
#include "txHost/skin/SkinProgramCommand.h"

namespace tx::skin
{

SkinString BuildProgramCommandLine(SkinStringView program, SkinStringView argument)
{
    static constexpr SkinChar kPlaceholder[] = {SkinChar('%'), SkinChar('s'), SkinChar(0)};
    SkinString line(program);
    size_t at = program.find(kPlaceholder);
    if (at != SkinStringView::npos)
        line.replace(at, 2, argument.data(), argument.size());
    return line;
}

} // namespace tx::skin
