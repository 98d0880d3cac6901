#pragma once

// Line rates through the kernel's termios2 interface, which takes any rate in bits per second
// (BOTHER). Kept apart because its header cannot be included together with <termios.h>.

// Sets both directions to baud; 0 on success, else the errno value.
int SetCustomRate(int fd, int baud);
// The output rate the device now runs at, in bits per second; -1 with errno set on failure.
int ReadDeviceRate(int fd);
