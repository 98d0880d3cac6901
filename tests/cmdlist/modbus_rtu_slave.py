#!/usr/bin/env python3
"""A Modbus RTU slave (pymodbus, unit 1, holding registers 0x1234, 1, ... 9) behind a
null-modem pair of pseudo-terminals. Prints the far device's path, serves until stdin closes (a
minute at most); exits 77 with "skip: REASON" when pymodbus or pyserial cannot run here."""

import asyncio
import os
import select
import sys
import threading
import time
import tty

try:
    from pymodbus.datastore import (ModbusSequentialDataBlock, ModbusServerContext,
                                    ModbusSlaveContext)
    from pymodbus.server.async_io import ModbusSerialServer
    from pymodbus.transaction import ModbusRtuFramer
    import serial  # noqa: F401  (pymodbus opens the line with it)
except ImportError as error:
    print(f"skip: pymodbus cannot run: {error}", flush=True)
    sys.exit(77)

LIFETIME_S = 60
UNIT = 1
REGISTERS = [0x1234, 1, 2, 3, 4, 5, 6, 7, 8, 9]


def open_raw_pty():
    master, slave = os.openpty()
    tty.setraw(master)
    tty.setraw(slave)
    return master, slave


def join(a, b):
    """Copies every byte between the two terminal masters, each way, until the process ends."""
    while True:
        ready, _, _ = select.select([a, b], [], [], 0.5)
        for source in ready:
            try:
                data = os.read(source, 4096)
            except OSError:
                # A terminal whose other side nobody holds reads as an error: wait, never spin.
                time.sleep(0.05)
                continue
            target = b if source == a else a
            while data:
                data = data[os.write(target, data):]


def end_when_stdin_closes():
    sys.stdin.buffer.read()
    os._exit(0)


async def serve(device):
    store = ModbusSlaveContext(hr=ModbusSequentialDataBlock(0, REGISTERS), zero_mode=True)
    server = ModbusSerialServer(ModbusServerContext(slaves={UNIT: store}, single=False),
                                framer=ModbusRtuFramer, port=device, baudrate=9600)
    await server.start()
    if server.transport is None:
        print(f"skip: pymodbus cannot open {device}", flush=True)
        os._exit(77)
    print(far_path, flush=True)
    await asyncio.sleep(LIFETIME_S)
    os._exit(0)


slave_master, slave_end = open_raw_pty()
far_master, far_end = open_raw_pty()
far_path = os.ttyname(far_end)
threading.Thread(target=join, args=(slave_master, far_master), daemon=True).start()
threading.Thread(target=end_when_stdin_closes, daemon=True).start()
asyncio.run(serve(os.ttyname(slave_end)))
