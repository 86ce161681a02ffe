#include "txHost/core/Actions.h"

namespace tx::host
{
namespace
{
struct RemoteEventRow
{
    long code;
    int action;
};

// The codes the remote-control source sends for its buttons. Which physical button
// sends which code is the source's business; the host fixes only this mapping.
constexpr RemoteEventRow kRemoteEventActionTable[] = {
    {141, ACTION_WAKE},         {142, ACTION_PROGRAM},    {145, ACTION_LEFT},         {190, ACTION_RIGHT},
    {143, ACTION_UP},           {147, ACTION_DOWN},       {146, ACTION_SELECT},       {148, ACTION_MENU},
    {149, ACTION_TITLE},        {150, ACTION_OSD},        {151, ACTION_LANGUAGE},     {152, ACTION_ANGLE},
    {153, ACTION_SUBTITLE},     {154, ACTION_PLAY_PAUSE}, {155, ACTION_STOP},         {156, ACTION_SLOW},
    {157, ACTION_EJECT},        {158, ACTION_REWIND},     {159, ACTION_FAST_FORWARD}, {160, ACTION_PREVIOUS},
    {161, ACTION_NEXT},         {162, ACTION_VOLUME_UP},  {166, ACTION_VOLUME_DOWN},  {171, ACTION_MUTE},
    {37, ACTION_AUDIO_CHANNEL}, {25, ACTION_DIGIT_0},     {163, ACTION_DIGIT_1},      {164, ACTION_DIGIT_2},
    {172, ACTION_DIGIT_3},      {167, ACTION_DIGIT_4},    {168, ACTION_DIGIT_5},      {165, ACTION_DIGIT_6},
    {13, ACTION_DIGIT_7},       {17, ACTION_DIGIT_8},     {169, ACTION_DIGIT_9},      {21, ACTION_VGA_TV},
    {33, ACTION_ENTER},
};
static_assert(sizeof(kRemoteEventActionTable) / sizeof(kRemoteEventActionTable[0]) == 37);
} // namespace

int RemoteEventAction(long code) noexcept
{
    for (const RemoteEventRow &row : kRemoteEventActionTable)
        if (row.code == code)
            return row.action;
    return ACTION_NONE;
}
} // namespace tx::host
