#!/usr/bin/env python3
"""Writes the seed corpora in corpus/: real module answers and real files of each
format, plus the damaged forms the readers must survive. Run again after a format
changes; reproducers of crashes go to crashes/<target>/ by hand and stay."""
import json
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def frame(command, data=b""):
    body = bytes([0x00, len(data) + 1, command]) + data
    return b"\xff" + body + bytes([sum(body) & 0xFF])


def put(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("latin-1"))


def card_bytes(size):
    data = bytearray((i * 7 + 3) & 0xFF for i in range(size))
    if size != 64:
        for block in range(size // 16):
            if (block < 128 and block % 4 == 3) or (block >= 128 and block % 16 == 15):
                data[block * 16:block * 16 + 16] = bytes.fromhex("FFFFFFFFFFFF FF0780 69 FFFFFFFFFFFF".replace(" ", ""))
    return bytes(data)


# Answers as the module sends them.
select_1k = frame(0x83, bytes.fromhex("02 44332211"))
select_ul = frame(0x83, bytes.fromhex("03 04112233445566"))
read_block = frame(0x86, bytes(range(0x10, 0x20)))
read_value = frame(0x87, bytes.fromhex("2C010000"))
status_l = frame(0x85, b"L")
status_n = frame(0x83, b"N")
status_u = frame(0x89, b"U")
status_x = frame(0x89, b"X")
put("response_reader", "select-1k", select_1k)
put("response_reader", "select-ul", select_ul)
put("response_reader", "read-block", read_block)
put("response_reader", "status-then-data", status_l + read_block + read_value)
put("response_reader", "status-u-x", status_u + status_x + status_n)
put("response_reader", "bad-checksum", read_block[:-1] + bytes([read_block[-1] ^ 1]) + status_l)
put("response_reader", "truncated", read_block[:9])
put("response_reader", "oversize-length", b"\xff\x00\x42" + bytes(70))
put("response_reader", "garbage-first", b"\x13\x37" + status_l)
put("response_reader", "largest", frame(0x86, bytes(64)))
put("response_reader", "empty-answer", b"\xff\x00\x00\x00")

for name, data in (("select-1k", select_1k), ("select-ul", select_ul), ("status-n", status_n),
                   ("short", select_1k[:7])):
    put("tag_report", name, data)
put("value_echo", "read-value", read_value)
put("value_echo", "read-value-echo", " ".join("%02X" % b for b in read_value) + " ")
put("value_echo", "short-echo", "FF 00 05 87 2C 01 ")

# Templates: the writer's layout, then damaged copies.
def template(header, rows):
    return header + "\r\n" + "".join(row + "\r\n" for row in rows)

def fields(data):
    return "".join("%02X," % b for b in data)

c1k = card_bytes(1024)
t1k = template("**MIFARE 1K TEMPLATE**", [fields(c1k[b * 16:b * 16 + 16]) for b in range(1, 64)])
cul = card_bytes(64)
tul = template("**MIFARE ULTRALIGHT TEMPLATE**",
               [",,%02X,%02X," % (cul[10], cul[11])] + [fields(cul[p * 4:p * 4 + 4]) for p in range(3, 16)])
c4k = card_bytes(4096)
t4k = template("**MIFARE 4K TEMPLATE**", [fields(c4k[b * 16:b * 16 + 16]) for b in range(1, 256)])
put("template_reader", "1k.mtp", t1k)
put("template_reader", "ul.mtp", tul)
put("template_reader", "4k.mtp", t4k)
put("template_reader", "1k-cut.mtp", t1k[:700])
put("template_reader", "all-types-lf.mtp", "1K 4K UL\n00,11\n\r\n" + "AA," * 20)

put("text_import", "lines.txt", "MERLOX card text\r\nsecond line\nthird\rfourth")
put("text_import", "long.txt", "".join(chr(32 + i % 95) for i in range(1200)))
put("text_import", "zeros.bin", b"ab\x00cd\x00\x00\r\n\xff")

put("settings_file", "usual.txt",
    "**MERLOX MIFARE V1.0 CONFIGURATION FILE\r\n**This file keeps parameters of MERLOX MIFARE\r\n"
    "ComPort\r\n2,\r\nBaud\r\n4,\r\nONLINE\r\nTRUE,\r\nAuto\r\nFALSE,\r\n"
    "Keys\r\nFFFFFFFFFFFF,A0A1A2A3A4A5,\r\nIKeys\r\n5C,5C,5C,5C,5C,5C,\r\nLastFile1K\r\n/home/u/card.mtp,\r\n")
put("settings_file", "key-last.txt", "**H1\n**H2\nBaud\n")
put("settings_file", "no-commas.txt", "**H1\r**H2\rKeys\rFFFFFFFFFFFF\rIKeys\r" + ",".join("5C" for _ in range(40)))
put("settings_file", "empty.txt", "")

# Dumps of each format.
put("dump_readers", "1k.bin", c1k)
put("dump_readers", "ul.bin", cul)
# The same pages after the 56-byte header some tools write first.
put("dump_readers", "ul-header.bin", bytes.fromhex("0004030101000B03" "0000" "00" "0F") + bytes(range(0xA0, 0xC0))
    + bytes.fromhex("010000BD" "000000BD" "000000BD") + cul)
put("dump_readers", "1k.eml", "".join(c1k[b * 16:b * 16 + 16].hex().upper() + "\n" for b in range(64)))
put("dump_readers", "1k.json", json.dumps({"Created": "x", "FileType": "mfc v2",
                                           "Card": {"UID": "44332211", "ATQA": "0400", "SAK": "08"},
                                           "blocks": {str(b): c1k[b * 16:b * 16 + 16].hex().upper() for b in range(64)}},
                                          indent=2))
put("dump_readers", "ul.json", json.dumps({"FileType": "mfu",
                                           "blocks": {str(p): cul[p * 4:p * 4 + 4].hex().upper() for p in range(16)}}))
mct = ""
for sector in range(16):
    mct += "+Sector: %d\n" % sector
    for b in range(sector * 4, sector * 4 + 4):
        mct += c1k[b * 16:b * 16 + 16].hex().upper() + "\n" if sector != 3 else "-" * 32 + "\n"
put("dump_readers", "1k.mct", mct)
nfc = ("Filetype: Flipper NFC device\nVersion: 4\nDevice type: Mifare Classic\nUID: 11 22 33 44\n"
       "ATQA: 00 04\nSAK: 08\nMifare Classic type: 1K\nData format version: 2\n")
for b in range(64):
    nfc += "Block %d: %s\n" % (b, " ".join("%02X" % x if b != 5 else "??" for x in c1k[b * 16:b * 16 + 16]))
put("dump_readers", "1k.nfc", nfc)
nful = ("Filetype: Flipper NFC device\nVersion: 4\nDevice type: NTAG/Ultralight\nUID: 04 11 22 33 44 55 66\n"
        "Data format version: 2\nNTAG/Ultralight type: Mifare Ultralight\nPages total: 16\nPages read: 16\n")
for p in range(16):
    nful += "Page %d: %s\n" % (p, " ".join("%02X" % x for x in cul[p * 4:p * 4 + 4]))
put("dump_readers", "ul.nfc", nful)
put("dump_readers", "1k-cut.eml", "".join(c1k[b * 16:b * 16 + 16].hex().upper() + "\n" for b in range(30)))
