#pragma once

#include <QString>

#include <memory>

// One opener per serial device. Two openers of one device split its received bytes between
// them at random, and TIOCEXCL does not stop a second open by root. So a port claims its device
// before it opens it: this process keeps the canonical paths of the devices its ports hold, and
// an advisory lock on the open device tells other programs that take the same lock.
class CSerialDeviceClaim
{
public:
    // Reserves the device at path for this process; 0, or EBUSY when a port of this process
    // holds it. Call before opening the device.
    int Reserve(const QString& path);
    // Locks the device now open on fd; 0, or EWOULDBLOCK when another program holds its lock.
    int Lock(int fd);
    // Gives the device up. Copies of a claim (a copied port) share it until the last one goes;
    // the lock goes with the last descriptor of the open device.
    void Release() { m_pHeld.reset(); }

    // Whether a port of this process holds the device at path (by any of its names). A device
    // busy for another reason is held by another program.
    static bool IsHeld(const QString& path);

private:
    std::shared_ptr<const QString> m_pHeld;
};
