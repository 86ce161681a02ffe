#pragma once
// The interfaces of the host object CHost, shared with the skin engine, the OSD, the
// pages, the disc players and outside event sinks.
//
// Common contract of every method below unless a line says otherwise:
//  - Thread: the UI thread (other threads reach the host through window messages).
//  - Result: S_OK on success, a failure HRESULT otherwise; queries that do not apply
//    leave their out values untouched, so callers preset them.
//  - Ownership: BSTRs and interface pointers handed out belong to the caller (freed,
//    released); BSTRs and interfaces passed in stay the caller's, the host copies or
//    references what it keeps.
//
// Where the parts of the system name a slot differently, the name and argument list of
// the subsystem that implements the slot are used; the other names are noted at the slot.
#include <windows.h>
#include <oaidl.h>
#include <unknwn.h>

#include "txHost/core/PlaylistInterfaces.h"

struct IPlaylistFileList; // the playlists folder's files (media library)
struct IMediaIdList;      // a counted list of collection ids with view objects (media library)
struct ICdAudioDisc;      // the audio-CD player (media library)

// What the host is playing.
enum SourceKind : LONG
{
    SOURCE_KIND_NONE = 0,
    SOURCE_KIND_LIST = 1,     // media files of the current list through DirectShow graphs
    SOURCE_KIND_VCD = 2,      // through the VCD navigator
    SOURCE_KIND_DVD = 3,      // through MCI
    SOURCE_KIND_TV = 4,
    SOURCE_KIND_CD_AUDIO = 5, // through the audio-CD player
};

// What the host shows besides playback.
enum ViewState : LONG
{
    VIEW_STATE_NONE = 0,
    VIEW_STATE_PICTURE = 1,
    VIEW_STATE_WEB = 2,
    VIEW_STATE_SCREEN_SAVER = 3,
};

namespace tx::host
{
// Component category of the outside objects that receive IHostEvents.
inline constexpr GUID CATID_HostEventSinks = {
    0xe395ebe3, 0x5bf0, 0x4c66, {0xaa, 0x9f, 0xd6, 0x2a, 0x7d, 0xc9, 0xa7, 0x4a}};
// Component category of the outside collection providers of the collection rebuild.
inline constexpr GUID CATID_CollectionProviders = {
    0xd74238cf, 0x5b89, 0x42f8, {0x98, 0xbe, 0xfb, 0x59, 0x50, 0xc8, 0x79, 0x13}};
// The remote-control event source (an outside COM server) and its event interface,
// a dispinterface whose member 1 carries a button code.
inline constexpr GUID CLSID_RemoteControlSource = {
    0x207618b6, 0x27b3, 0x4d86, {0xa0, 0xfe, 0x85, 0x0e, 0x05, 0x02, 0xfb, 0xf1}};
inline constexpr GUID DIID_RemoteControlEvents = {
    0x565a8ba5, 0x52ba, 0x4025, {0xbb, 0xf3, 0x8c, 0xa5, 0x3f, 0x95, 0x98, 0xd6}};
// The interface the host creates the source for (an IDispatch of the source's own).
inline constexpr GUID IID_RemoteControlSource = {
    0xbd7de804, 0xb701, 0x4001, {0x9b, 0x2e, 0xeb, 0x72, 0x5c, 0xe3, 0x85, 0x40}};
} // namespace tx::host

// ---------------------------------------------------------------------------------------
// IHost: the host's operations for the skin engine, the pages, the action executor and
// the text commands. 85 slots; the list below is the vtable order and carries each
// slot's number, which the static_assert at its end checks against the order.
//
// Slots named differently elsewhere:
//  - 4 AutoPlay takes the path only (the host derives the drive's display name);
//    38 GetAutoPlayStrings then returns the name first, then the path.
//  - 3 PlayFile: path, name, AVI decoding, Shoutcast flag, after-current flag, show flag.
//  - 25 GetDecoderAudioInfo returns the decoder's information text.
//  - 39 ClearSelectionList (also called CreateSelectionList).
//  - 40 GetPositionTexts (also called GetPositionText).
//  - 50 GetPictureOutput: the picture output object. Some page descriptions call this
//    slot GetPictureCount (out count); the host implements GetPictureOutput here.
//  - 53 WebCommand (also called TypeWebKey): "back", "del" or a character.
//  - 54 ToggleReencoderFlip (also called FlipReencoder or SendEncoderCommand).
//  - 55 CaptureStill(file name or empty, out used name) (a page description passes a flag).
//  - 77/79 FILETIMEs are passed by value (each the two 32-bit halves of the time).
// ---------------------------------------------------------------------------------------
#define TX_IHOST_SLOTS(X)                                                                                           \
    /* Plays a file or URL, or queues it on the current list. */                                                    \
    X(3, PlayFile, (BSTR path, BSTR name, LONG aviDecode, LONG shoutcast, LONG afterCurrent, LONG show))             \
    /* Plays a drive, disc, disc image or folder; keeps the path and its display name. */                           \
    X(4, AutoPlay, (BSTR path))                                                                                      \
    /* Makes a list current (one reference taken) and plays it; null: the default selection list. */                \
    X(5, SetCurrentList, (IPlaylist * list))                                                                         \
    /* Stops, saves (when modified) and releases the current list; source kind 0. */                                \
    X(6, ReleaseCurrentList, ())                                                                                     \
    /* Picture levels 0..1000 from the DVD player or the decoder. */                                                \
    X(7, GetSaturation, (LONG * value))                                                                              \
    X(8, GetContrast, (LONG * value))                                                                                \
    X(9, GetBrightness, (LONG * value))                                                                              \
    /* Clamp to 0..1000, apply, store, save. */                                                                     \
    X(10, PutSaturation, (LONG value))                                                                               \
    X(11, PutContrast, (LONG value))                                                                                 \
    X(12, PutBrightness, (LONG value))                                                                               \
    /* Digital audio output: 0 analog, 1 PCM, 2 AC3. */                                                             \
    X(13, GetAudioMode, (LONG * mode))                                                                               \
    /* Applies the mode with a re-seek and saves AudioMode. */                                                      \
    X(14, PutAudioMode, (LONG mode))                                                                                 \
    /* Marks Windows to be shut down after the message loop and posts WM_CLOSE. */                                  \
    X(15, CloseAndFlag, ())                                                                                          \
    /* Posts WM_CLOSE to the main window. */                                                                        \
    X(16, Close, ())                                                                                                 \
    /* Source kind (SourceKind) and stopped flag. */                                                                \
    X(17, GetPlayState, (LONG * sourceKind, LONG * stopped))                                                         \
    /* The current list with a reference for the caller, or null. */                                                \
    X(18, GetCurrentList, (IPlaylist * *list))                                                                       \
    /* A new list of the playlist files of the PlaylistsRoot folder, one reference for the caller. */               \
    X(19, GetPlaylistFiles, (IPlaylistFileList * *files))                                                            \
    /* Closes the current media; continue: next item; show: status; keepTimeShift: TV devices keep running. */     \
    X(20, Stop, (LONG continuePlay, LONG showStatus, LONG keepTimeShift))                                            \
    X(21, Run, ())                                                                                                   \
    X(22, Pause, ())                                                                                                 \
    /* Rate 1.0 and position 0, or replays the last path. */                                                        \
    X(23, RestartMedia, ())                                                                                          \
    /* Audio channel mode 0, 1, 2, 0. */                                                                            \
    X(24, CycleAudioMode, ())                                                                                        \
    /* The decoder's audio information text; E_FAIL without a decoder. */                                          \
    X(25, GetDecoderAudioInfo, (BSTR * info))                                                                        \
    /* Volume in percent 0..100: +4, -4, set, get. */                                                               \
    X(26, VolumeUp, ())                                                                                              \
    X(27, VolumeDown, ())                                                                                            \
    X(28, PutVolume, (LONG percent))                                                                                 \
    X(29, GetVolume, (LONG * percent))                                                                               \
    /* Captions of the DVD player and of the current file subtitle. */                                              \
    X(30, GetDvdTrickCaption, (BSTR * caption))                                                                      \
    X(31, GetDvdSubtitleCaption, (BSTR * caption))                                                                   \
    X(32, GetDvdAngleCaption, (BSTR * caption))                                                                      \
    X(33, GetDvdAudioCaption, (BSTR * caption))                                                                      \
    X(34, GetSubtitleCaption, (BSTR * caption))                                                                      \
    /* Flags of an extension with its dot: 1 audio, 2 video, 4 disc image, 8 playlist; 0 when unknown. */           \
    X(35, GetFileTypeFlags, (BSTR extension, LONG * flags))                                                          \
    /* Plays the item at an index of the current list; the playlist page passes -1 as second value. */              \
    X(36, PlayListItem, (LONG index, LONG second))                                                                   \
    /* The AVIDecode setting. */                                                                                    \
    X(37, GetAviDecode, (LONG * aviDecode))                                                                          \
    /* Copies of the display name and the path last given to AutoPlay (null when none). */                          \
    X(38, GetAutoPlayStrings, (BSTR * name, BSTR * path))                                                            \
    /* Loads the saved current-selection list, empties it and saves it; always S_OK. */                             \
    X(39, ClearSelectionList, ())                                                                                    \
    /* The play position as texts: DVD title/chapter and time "hh:mm:ss". */                                        \
    X(40, GetPositionTexts, (BSTR * title, BSTR * time))                                                             \
    /* Seeks to "T:%d C:%d" (DVD) and "%d:%d:%d". */                                                                \
    X(41, SeekToText, (BSTR title, BSTR time))                                                                       \
    /* The flag that mirrors the log onto the OSD. */                                                               \
    X(42, GetOsdLog, (LONG * on))                                                                                    \
    X(43, PutOsdLog, (LONG on))                                                                                      \
    /* Told whether picture view and its timer are both on. */                                                      \
    X(44, OnPictureTimerChange, (LONG on))                                                                           \
    X(45, ClosePicture, ())                                                                                          \
    X(46, AddPicture, (LONG folder, BSTR name, BSTR path))                                                           \
    /* index -1: the current picture. */                                                                            \
    X(47, ShowPictureAt, (LONG index, LONG slideShow, LONG showNow))                                                 \
    X(48, NextPicture, ())                                                                                           \
    X(49, PreviousPicture, ())                                                                                       \
    /* The picture output object with a reference, or null. */                                                      \
    X(50, GetPictureOutput, (IUnknown * *output))                                                                    \
    /* Opens the web view. */                                                                                       \
    X(51, OpenWeb, (LONG navigateHome))                                                                              \
    X(52, NavigateWeb, (BSTR url))                                                                                   \
    X(53, WebCommand, (BSTR command))                                                                                \
    X(54, ToggleReencoderFlip, ())                                                                                   \
    /* Saves the current frame; the used file name is returned also on failure. */                                  \
    X(55, CaptureStill, (BSTR fileName, BSTR * usedName))                                                            \
    /* Output 0 composite, 1 component YUV, 2 component RGB, 3 scart RGB, 4 VGA. */                                 \
    X(56, PutOutputMode, (LONG mode))                                                                                \
    X(57, GetOutputMode, (LONG * mode))                                                                              \
    X(58, PutTvAspect, (LONG aspect))                                                                                \
    X(59, GetTvAspect, (LONG * aspect))                                                                              \
    X(60, PutAvoidVerticalScale, (LONG on))                                                                          \
    X(61, GetAvoidVerticalScale, (LONG * on))                                                                        \
    /* Mode 0 auto, 1 defined (with the ratio), 2 custom. */                                                        \
    X(62, PutSourceAspect, (LONG mode, double definedAspect))                                                        \
    X(63, GetSourceAspect, (LONG * mode, double *aspect))                                                            \
    X(64, PutCustomAspect, (double aspect))                                                                          \
    X(65, GetCustomAspect, (double *aspect))                                                                         \
    /* The decoder's preferred picture aspect, 1.0 when unknown. */                                                 \
    X(66, GetPreferredAspect, (double *aspect))                                                                      \
    /* Overscan of the current output, saved. */                                                                    \
    X(67, PutOverscan, (LONG left, LONG right, LONG top, LONG bottom))                                               \
    X(68, GetOverscan, (LONG * left, LONG * right, LONG * top, LONG * bottom))                                       \
    /* Subtitle frame-rate type 0 auto, 1 defined, 2 custom, with its rate. */                                      \
    X(69, PutSubtitleFps, (LONG type, double fps))                                                                   \
    X(70, GetSubtitleFps, (LONG * type, double *fps))                                                                \
    X(71, PutCustomSubtitleFps, (double fps))                                                                        \
    X(72, GetCustomSubtitleFps, (double *fps))                                                                       \
    /* 0 or more: changes to that channel; negative: re-tunes the current one (its failure is returned). */         \
    X(73, SelectChannel, (LONG channel))                                                                             \
    X(74, GetTvChannel, (LONG * channel))                                                                            \
    X(75, RecordNow, ())                                                                                             \
    X(76, StopAllRecordings, ())                                                                                     \
    X(77, CancelRecording, (LONG channel, FILETIME start, FILETIME stop))                                            \
    X(78, IsRecordingMarked, (BOOL * marked))                                                                        \
    X(79, IsRecordingProgramme, (LONG channel, FILETIME start, FILETIME stop, BOOL * recording))                     \
    /* The audio-CD player with a reference. */                                                                     \
    X(80, GetCdPlayer, (ICdAudioDisc * *player))                                                                     \
    /* Loads a ".lst", ".m3u" or ".pls" file as the current list. */                                                \
    X(81, LoadPlaylist, (BSTR path))                                                                                 \
    /* Starts a program and pumps messages until it ends; a null program does nothing. */                           \
    X(82, RunProgramAndWait, (BSTR program, BSTR commandLine))                                                       \
    X(83, SuspendSystem, ())                                                                                         \
    /* Shows the status caption of a status code (0..33). */                                                        \
    X(84, ShowOsdStatus, (LONG code))

#define TX_IHOST_DECLARE_SLOT(slot, name, params) virtual HRESULT STDMETHODCALLTYPE name params = 0;

MIDL_INTERFACE("2d89e1f3-a4ea-4f42-ab21-ac6497d61cf2")
IHost : public IUnknown
{
    TX_IHOST_SLOTS(TX_IHOST_DECLARE_SLOT)
};
__CRT_UUID_DECL(IHost, 0x2d89e1f3, 0xa4ea, 0x4f42, 0xab, 0x21, 0xac, 0x64, 0x97, 0xd6, 0x1c, 0xf2)

namespace tx::host::detail
{
#define TX_IHOST_SLOT_NUMBER(slot, name, params) slot,
inline constexpr int kHostSlots[] = {TX_IHOST_SLOTS(TX_IHOST_SLOT_NUMBER)};
#undef TX_IHOST_SLOT_NUMBER
constexpr bool SlotsFollowDeclarationOrder()
{
    for (int i = 0; i < static_cast<int>(sizeof(kHostSlots) / sizeof(kHostSlots[0])); ++i)
        if (kHostSlots[i] != i + 3)
            return false;
    return true;
}
// Declaration order is vtable order (single inheritance, no overloads): the numbers
// written beside the methods are their real slots.
static_assert(sizeof(kHostSlots) / sizeof(kHostSlots[0]) == 82, "IHost has 85 slots, 3 of them IUnknown");
static_assert(SlotsFollowDeclarationOrder(), "IHost slots out of order");
} // namespace tx::host::detail

// ---------------------------------------------------------------------------------------
// IHostCollection: the collection side of the host. Slots 3-10 and 12 forward their
// arguments unchanged to the media collection and return S_OK, except slot 4, which
// returns E_FAIL for a category the collection does not have.
// (Also known by the names SelectCollectionByType, GetCategoryValues, EnumCollection,
// GetCollectionIds, SetCollectionIds, AddCollectionString, AddCollectionPath,
// NarrowCollection; the library's names are used.)
// ---------------------------------------------------------------------------------------
MIDL_INTERFACE("cabca832-f2c4-4af7-9849-4b870f30f07a")
IHostCollection : public IUnknown
{
    // slot 3: refills the selection with every item of the type: 1 audio, 2 video, 3 DVD,
    // 4 all; items of type 0 always match.
    virtual HRESULT STDMETHODCALLTYPE SelectByType(LONG mediaType) = 0;
    // slot 4: distinct values of a category among the selection, restricted to a named
    // set when setName is not null; the list belongs to the caller.
    virtual HRESULT STDMETHODCALLTYPE GetCategoryValueList(BSTR category, BSTR setName, IMediaIdList * *values) = 0;
    // slot 5: keeps in the selection only the media whose category carries the value.
    virtual HRESULT STDMETHODCALLTYPE NarrowByCategoryValue(BSTR category, BSTR value) = 0;
    // slot 6: the media of the selection in selection order; the list belongs to the caller.
    virtual HRESULT STDMETHODCALLTYPE GetSelectedItemList(IMediaIdList * *items) = 0;
    // slot 7: copies the selected ids into CoTaskMemAlloc memory that the caller frees.
    virtual HRESULT STDMETHODCALLTYPE GetSelection(LONG * *ids, LONG * count) = 0;
    // slot 8: replaces the selected ids (nothing while the collection's filter is off).
    virtual HRESULT STDMETHODCALLTYPE SetSelection(const LONG *ids, LONG count) = 0;
    // slot 9: adds a name to the filter's names unless an equal one (ignoring case) is there.
    virtual HRESULT STDMETHODCALLTYPE AddCategoryName(BSTR name) = 0;
    // slot 10: adds a path (leading slash removed) to the filter's paths unless present.
    virtual HRESULT STDMETHODCALLTYPE AddNamedList(BSTR path) = 0;
    // slot 11: reloads language and skin, then rebuilds the collection from the search roots.
    virtual HRESULT STDMETHODCALLTYPE ReloadAll() = 0;
    // slot 12: narrows the selection to a named set; "/" first resets to all media.
    virtual HRESULT STDMETHODCALLTYPE NarrowByNamedList(BSTR name) = 0;
};
__CRT_UUID_DECL(IHostCollection, 0xcabca832, 0xf2c4, 0x4af7, 0x98, 0x49, 0x4b, 0x87, 0x0f, 0x30, 0xf0, 0x7a)

// Resets the decoder's picture levels without touching the stored settings.
MIDL_INTERFACE("80e5a1d6-184c-497b-88b4-87b604cea2de")
IHostPictureReset : public IUnknown
{
    // slot 3: brightness, contrast and saturation 0 on the decoder (or the DVD device).
    virtual HRESULT STDMETHODCALLTYPE ResetPictureLevels() = 0;
};
__CRT_UUID_DECL(IHostPictureReset, 0x80e5a1d6, 0x184c, 0x497b, 0x88, 0xb4, 0x87, 0xb6, 0x04, 0xce, 0xa2, 0xde)

// Outgoing events of the host, fired on the UI thread to every object of the event-sink
// category that answers this interface. Results are ignored.
MIDL_INTERFACE("36ffc8bb-9307-4980-92a9-0888d2f0fd77")
IHostEvents : public IUnknown
{
    // slot 3: after every status caption, with the status code just shown.
    virtual HRESULT STDMETHODCALLTYPE OnStatusText(LONG code) = 0;
    // slot 4: the number typed with the digit keys changed (-1: none).
    virtual HRESULT STDMETHODCALLTYPE OnNumber(LONG number) = 0;
    // slot 5: the host at start-up (the sink may keep a reference), null at shut-down
    // (the sink must release what it kept).
    virtual HRESULT STDMETHODCALLTYPE OnHostPointer(IHost * host) = 0;
};
__CRT_UUID_DECL(IHostEvents, 0x36ffc8bb, 0x9307, 0x4980, 0x92, 0xa9, 0x08, 0x88, 0xd2, 0xf0, 0xfd, 0x77)

// Callbacks of the VCD navigator into the host. No IUnknown part: the host hands this
// face to the navigator directly and it is not reachable through QueryInterface. The
// navigator is owned by the host, so it needs no reference.
struct IVcdPlayerHost
{
    virtual HRESULT STDMETHODCALLTYPE PlayVcdTrack(LONG track) = 0; // slot 0
    virtual HRESULT STDMETHODCALLTYPE StopVcdAndRemember() = 0;     // slot 1: resume kind 2
    virtual HRESULT STDMETHODCALLTYPE CloseVcd() = 0;               // slot 2
    virtual HRESULT STDMETHODCALLTYPE ClearNumberEntry() = 0;       // slot 3
    virtual HRESULT STDMETHODCALLTYPE ClearMediaAspect() = 0;       // slot 4
};

// Callbacks of the audio-CD player into the host; as IVcdPlayerHost.
struct ICdPlayerHost
{
    virtual HRESULT STDMETHODCALLTYPE PlayCdTrack(LONG track) = 0; // slot 0: source kind 5
    virtual HRESULT STDMETHODCALLTYPE StopCdAndRemember() = 0;     // slot 1: resume kind 5
    virtual HRESULT STDMETHODCALLTYPE CloseCd() = 0;               // slot 2
    virtual HRESULT STDMETHODCALLTYPE ClearMediaAspect() = 0;      // slot 3
};
