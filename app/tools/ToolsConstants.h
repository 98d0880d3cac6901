#pragma once

// Numbers that fix how the checksum calculator and the file transfer behave; units are in the
// names.

// Checksum calculator.
inline constexpr int kCheckSumInputLimitChars = 4096; // the input box takes no more
inline constexpr int kCheckSumBinaryGroupDigits = 8;  // the binary result is grouped by bytes
inline constexpr int kCheckSumIconPx = 32;

// File transfer.
inline constexpr int kSendBlockBytes = 1024;   // the worker reads and writes this much at a time
inline constexpr int kProgressIntervalMs = 50; // the window hears of progress at most this often
// A transfer fails once the link has taken no byte for this long ("TransferStallSec").
inline constexpr int kDefaultTransferStallSec = 10;
inline constexpr int kMinTransferStallSec = 1;
inline constexpr int kMaxTransferStallSec = 600;
// The longest pause a plain send may make after a line feed or a byte.
inline constexpr int kMaxSendDelayMs = 10000;
// While the system still holds sent bytes, the worker looks at its queue this often.
inline constexpr int kQueueWatchMs = 20;
inline constexpr int kFileListIconPx = 16;
inline constexpr int kFileListMinWidthPx = 480;
inline constexpr int kFileListMinHeightPx = 240;

// Values that list entries of the file browser carry besides their text.
inline constexpr int kEntryRoot = -2;
inline constexpr int kEntryUp = -1;
inline constexpr int kEntryFolderAttribute = 0x10;
inline constexpr int kEntryFileAttribute = 0x80;
// A device, pipe or socket, or a link to one: shown, but it has no end and is never sent.
inline constexpr int kEntryDeviceAttribute = 0x40;

// Protocol transfers.
inline constexpr int kProtocolBlockBytes = 4096;         // the program's output, read at a time
inline constexpr int kProtocolInputLimitBytes = 1 << 20; // received, waiting for the program
inline constexpr int kProtocolErrorLineChars = 512;      // a longer error line is cut
inline constexpr int kProtocolLastWords = 4;             // error lines kept for a failure
inline constexpr int kProtocolKillWaitMs = 2000;         // after a terminate, before a kill
// How often the cancel sequence is offered to a link that takes nothing, before giving up.
inline constexpr int kProtocolCancelTries = 3;
