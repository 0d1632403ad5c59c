#pragma once

// Every translatable text: its ID in the language pack (leading zeros belong to it) and its
// built-in English default.
struct CaptionText {
    const char* id;
    const char* defaultText;
};

namespace Caption {
// Main window title lines and shared buttons.
inline constexpr CaptionText MediaActions{"01", "Media Actions"};
inline constexpr CaptionText MediaTools{"02", "Media Tools"};
inline constexpr CaptionText Ok{"03", "&OK"};
inline constexpr CaptionText Cancel{"04", "&Cancel"};
// Drive menu and messages.
inline constexpr CaptionText NoDvdDrives{"05", "<No DVD drives were found>"};
inline constexpr CaptionText InsertDvd{"06", "<Please insert a DVD>"};
inline constexpr CaptionText InvalidDvd{"07", "Please insert a valid DVD."};
inline constexpr CaptionText ConfigError{"08", "Error in the configuration file."};
inline constexpr CaptionText ConfigRecreated{"09", "A new one was created with the defaults."};
inline constexpr CaptionText ErrorTitle{"010", "Error"};
inline constexpr CaptionText ReloadQuestion{
    "012", "Some changes need the video to be reloaded. Do you want to reload the video?"};
inline constexpr CaptionText WarningTitle{"013", "Warning"};
inline constexpr CaptionText OptionsIntervalInvalid{
    "014", "Please enter a valid numeric time ranging from 1000 - 60000."};
inline constexpr CaptionText PrefixInvalid{"015", "Please enter a valid snapshot prefix."};
inline constexpr CaptionText PromptIntervalInvalid{
    "016", "Value should be numeric and between 1000 - 60000."};
inline constexpr CaptionText UpdaterFailed{"018", "Can't run the updates checker."};
inline constexpr CaptionText HelpMissing{"019", "Can't find the help file."};
inline constexpr CaptionText UpdatesFromPackages{
    "036", "Updates for Stillbeck come with your system's package manager."};
inline constexpr CaptionText Loading{"020", "LOADING..."};
// Hints.
inline constexpr CaptionText HintSingleSnapshot{"021", "Single Snapshot"};
inline constexpr CaptionText HintContinuousSnapshots{"022", "Continuous Snapshots"};
inline constexpr CaptionText HintTimedSnapshots{"023", "Timed Snapshots"};
inline constexpr CaptionText HintFullScreen{"024", "Full Screen"};
inline constexpr CaptionText HintRewind{"025", "Rewind"};
inline constexpr CaptionText HintPlay{"026", "Play"};
inline constexpr CaptionText HintPause{"027", "Pause"};
inline constexpr CaptionText HintStop{"028", "Stop"};
inline constexpr CaptionText HintFastForward{"029", "Fast Forward"};
inline constexpr CaptionText HintMute{"030", "Mute"};
inline constexpr CaptionText HintSound{"031", "Sound"};
inline constexpr CaptionText HintVolume{"032", "Volume"};
// Names the position bar for assistive tools; it has no hint of its own.
inline constexpr CaptionText PositionBarName{"035", "Position"};
inline constexpr CaptionText PrefixTooLong{"033",
                                           "Prefix should not be greater than 4 characters."};
inline constexpr CaptionText AlreadyRunning{"034", "The application is already running."};
// Picking the picture: list entries and the hints of the new commands.
inline constexpr CaptionText TitleEntryName{"037", "Title %1"};
inline constexpr CaptionText ChapterEntryName{"038", "Chapter %1"};
inline constexpr CaptionText TrackEntryName{"039", "Track %1"};
inline constexpr CaptionText HintNextFrame{"040", "Shows the next picture"};
inline constexpr CaptionText HintPreviousFrame{"041", "Shows the previous picture"};
inline constexpr CaptionText HintKeepLastSeconds{"042",
                                                 "Saves the pictures of the last two seconds"};
inline constexpr CaptionText HintCopyPicture{"043", "Copies the picture to the clipboard"};
inline constexpr CaptionText HintNextChapter{"044", "Goes to the next chapter"};
inline constexpr CaptionText HintPreviousChapter{"045", "Goes to the previous chapter"};
inline constexpr CaptionText HintListEntry{"046", "Plays this title, chapter or track"};
// Main window menus.
inline constexpr CaptionText FileMenu{"10", "&File"};
inline constexpr CaptionText OpenMenu{"11", "&Open"};
inline constexpr CaptionText ExitCommand{"12", "E&xit"};
inline constexpr CaptionText EditMenu{"20", "&Edit"};
inline constexpr CaptionText SnapshotCommand{"21", "&Snapshot"};
inline constexpr CaptionText ContinuousSnapshots{"22", "&Continuous Snapshots"};
inline constexpr CaptionText TimedSnapshots{"23", "&Timed Snapshots"};
inline constexpr CaptionText FullScreenMenu{"24", "&Full Screen"};
inline constexpr CaptionText KeepLastSeconds{"25", "&Keep Last Seconds"};
inline constexpr CaptionText CopyPicture{"26", "Co&py Picture"};
inline constexpr CaptionText ToolsMenu{"30", "&Tools"};
inline constexpr CaptionText OptionsMenuCommand{"31", "&Options"};
inline constexpr CaptionText HelpMenu{"40", "&Help"};
inline constexpr CaptionText HowToUseMenu{"41", "&How To Use?"};
inline constexpr CaptionText CheckUpdates{"42", "&Check For Updates"};
inline constexpr CaptionText AboutMenu{"43", "&About"};
// Playback menu.
inline constexpr CaptionText PlaybackMenu{"60", "&Playback"};
inline constexpr CaptionText TitleMenu{"61", "&Title"};
inline constexpr CaptionText ChapterMenu{"62", "&Chapter"};
inline constexpr CaptionText AudioMenu{"63", "&Audio"};
inline constexpr CaptionText SubtitlesMenu{"64", "&Subtitles"};
inline constexpr CaptionText NextFrame{"65", "Next &Frame"};
inline constexpr CaptionText PreviousFrame{"66", "Pre&vious Frame"};
inline constexpr CaptionText NextChapter{"67", "&Next Chapter"};
inline constexpr CaptionText PreviousChapter{"68", "P&revious Chapter"};
inline constexpr CaptionText SubtitlesOff{"69", "Off"};
// About box.
inline constexpr CaptionText AboutTitle{"51", "About"};
inline constexpr CaptionText AboutVersion{"52", "Version"};
inline constexpr CaptionText AboutDescription{
    "53", "Use this easy-to-use application to easily and effectively extract or capture images "
          "from your favorite DVD-Video discs. You can extract one image while playing your "
          "favorite movie ad also you can extract a portion of the DVD-Video."};
// Options dialog.
inline constexpr CaptionText OptionsTitle{"70", "Options"};
inline constexpr CaptionText LanguageFrame{"71", "Language"};
inline constexpr CaptionText LanguageLabel{"72", "Select Language:"};
inline constexpr CaptionText SnapshotsFrame{"73", "Snapshots"};
inline constexpr CaptionText ImageFormatLabel{"74", "Image Format:"};
inline constexpr CaptionText SnapshotsPathLabel{"75", "Snapshots Path:"};
inline constexpr CaptionText SnapshotsBrowse{"76", "&Browse..."};
inline constexpr CaptionText PrefixLabel{"77", "Snapshot Prefix:"};
inline constexpr CaptionText InputBoxCheck{"78", "Do not show \"Timed Snapshot\"input box again"};
inline constexpr CaptionText ValueTitle{"79", "Use this value instead:"};
inline constexpr CaptionText MillisecondsLabel{"80", "milliseconds."};
// Timed-snapshot interval prompt.
inline constexpr CaptionText TimedSnapshotsTitle{"90", "Timed Snapshots"};
inline constexpr CaptionText RequestLabel{"91", "Capture a snapshot every"};
inline constexpr CaptionText Check1{"92",
                                    "Do not show this again and  use this value as the default."};
inline constexpr CaptionText ImagesNotSaved{"94", "The images could not be saved in this folder:"};
inline constexpr CaptionText ConfigNotWritten{"95", "A new one could not be written to:"};
inline constexpr CaptionText SettingsNotSaved{"96", "The settings could not be saved to:"};
// File menu, "Open DVD" submenu: below the drives.
inline constexpr CaptionText OpenImageOrFolder{"93", "DVD &Image or Folder..."};
// Exporting a title: the Tools menu entry, its dialog, the progress window and what the user
// hears when it ends.
inline constexpr CaptionText ExportTitleCommand{"100", "Export &Title..."};
inline constexpr CaptionText HintExportTitle{"101", "Saves a whole title as still images"};
inline constexpr CaptionText ExportDialogTitle{"102", "Export Title"};
inline constexpr CaptionText ExportTitleLabel{"103", "&Title:"};
inline constexpr CaptionText ExportChaptersLabel{"104", "C&hapters:"};
inline constexpr CaptionText ExportChaptersTo{"105", "to"};
inline constexpr CaptionText ExportImagesFrame{"106", "Images"};
inline constexpr CaptionText ExportEveryInterval{"107", "One image &every"};
inline constexpr CaptionText ExportSeconds{"108", "seconds"};
inline constexpr CaptionText ExportEveryFrame{"109", "Every &distinct picture"};
inline constexpr CaptionText ExportPerShot{"110", "The first picture of each &shot"};
inline constexpr CaptionText ExportSheetOnly{"111", "A contact sheet o&nly"};
inline constexpr CaptionText ExportAddSheet{"112", "&Add a contact sheet"};
inline constexpr CaptionText ExportSheetColumns{"113", "Col&umns:"};
inline constexpr CaptionText ExportSheetRows{"114", "&Rows:"};
inline constexpr CaptionText ExportSheetWidth{"115", "&Width (pixels):"};
inline constexpr CaptionText ExportProgressTitle{"116", "Exporting Title %1"};
inline constexpr CaptionText ExportImagesWritten{"117", "Images written:"};
inline constexpr CaptionText ExportTimeLeft{"118", "Time left:"};
inline constexpr CaptionText ExportStopping{"119", "Stopping..."};
inline constexpr CaptionText ExportDone{"120", "The export is finished."};
inline constexpr CaptionText ExportStopped{"121", "The export was stopped."};
inline constexpr CaptionText ExportSectorsSkipped{"122", "Unreadable sectors skipped:"};
inline constexpr CaptionText ExportEncrypted{
    "123", "This title is encrypted and no library to decrypt it is installed, so it cannot be "
           "exported."};
inline constexpr CaptionText ExportUnreadable{"124", "The disc's title tables could not be read."};
inline constexpr CaptionText ExitWhileExporting{"125", "An export is running. Stop it and quit?"};

// The whole table, for checks that every language pack holds every caption.
// clang-format off
inline constexpr CaptionText All[] = {
    MediaActions, MediaTools, Ok, Cancel, NoDvdDrives, InsertDvd, InvalidDvd, ConfigError,
    ConfigRecreated, ErrorTitle, ReloadQuestion, WarningTitle, OptionsIntervalInvalid,
    PrefixInvalid, PromptIntervalInvalid, UpdaterFailed, HelpMissing, UpdatesFromPackages, Loading,
    HintSingleSnapshot, HintContinuousSnapshots, HintTimedSnapshots, HintFullScreen, HintRewind,
    HintPlay, HintPause, HintStop, HintFastForward, HintMute, HintSound, HintVolume,
    PositionBarName, PrefixTooLong, AlreadyRunning, FileMenu, OpenMenu, ExitCommand, EditMenu, SnapshotCommand,
    ContinuousSnapshots, TimedSnapshots, FullScreenMenu, ToolsMenu, OptionsMenuCommand, HelpMenu,
    HowToUseMenu, CheckUpdates, AboutMenu, AboutTitle, AboutVersion, AboutDescription,
    OptionsTitle, LanguageFrame, LanguageLabel, SnapshotsFrame, ImageFormatLabel,
    SnapshotsPathLabel, SnapshotsBrowse, PrefixLabel, InputBoxCheck, ValueTitle,
    MillisecondsLabel, TimedSnapshotsTitle, RequestLabel, Check1, ImagesNotSaved,
    ConfigNotWritten, SettingsNotSaved, OpenImageOrFolder, TitleEntryName, ChapterEntryName,
    TrackEntryName, HintNextFrame, HintPreviousFrame, HintKeepLastSeconds, HintCopyPicture,
    HintNextChapter, HintPreviousChapter, HintListEntry, KeepLastSeconds, CopyPicture,
    PlaybackMenu, TitleMenu, ChapterMenu, AudioMenu, SubtitlesMenu, NextFrame, PreviousFrame,
    NextChapter, PreviousChapter, SubtitlesOff, ExportTitleCommand, HintExportTitle,
    ExportDialogTitle, ExportTitleLabel, ExportChaptersLabel, ExportChaptersTo, ExportImagesFrame,
    ExportEveryInterval, ExportSeconds, ExportEveryFrame, ExportPerShot, ExportSheetOnly,
    ExportAddSheet, ExportSheetColumns, ExportSheetRows, ExportSheetWidth, ExportProgressTitle,
    ExportImagesWritten, ExportTimeLeft, ExportStopping, ExportDone, ExportStopped,
    ExportSectorsSkipped, ExportEncrypted, ExportUnreadable, ExitWhileExporting};
// clang-format on
} // namespace Caption

// Texts that are never looked up: the same in every language.
namespace FixedText {
inline constexpr const char* AppTitle = "Stillbeck";
inline constexpr const char* ExitWhileCapturing =
    "Capture process is running now, are you sure to exit?";
inline constexpr const char* InsufficientDiskSpace = "Insufficient disk space.";
inline constexpr const char* ErrorTitle = "Error";
} // namespace FixedText
