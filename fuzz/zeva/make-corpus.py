#!/usr/bin/env python3
"""Writes the seed corpora of the module-protocol fuzzers from the layout in
docs/module-protocol.md: valid datagrams of every type and a few broken ones.
Run from anywhere: python3 fuzz/zeva/make-corpus.py"""
import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MAC = bytes([0x0A, 0x51, 0x4D, 0x00, 0x00, 0x01])


def datagram(kind, body, version=1, magic=b"OVQM"):
    return magic + bytes([version, kind]) + struct.pack(">H", len(body)) + body


def text(value):
    return bytes([len(value)]) + value


def scan_answer(present, scan_id=7, revision=None):
    p = 1 if present else 0
    body = struct.pack(">I", scan_id) + MAC + bytes([2, 3])
    body += bytes([p]) + text(b"QM-300 I/O Gateway" if present else b"")
    body += bytes([p, 1, 4]) + struct.pack(">H", 321)
    body += bytes([p])  # MAC reported
    for address in (0x0A000002, 0xFFFF0000, 0x0A000001):
        body += bytes([p]) + struct.pack(">I", address if present else 0)
    body += bytes([p, 1 if present else 0])  # dhcp
    body += bytes([p, 1 if present else 0])  # password set
    body += bytes([p]) + text(b"quillmor-00001" if present else b"")
    for address in (0x0A000035, 0x0A000036):
        body += bytes([p]) + struct.pack(">I", address if present else 0)
    body += text(b"Ab" + b"c" * 32) + bytes([1])
    if revision is not None:  # revision 2 and later end the answer with it
        body += bytes([revision])
    return datagram(2, body)


def configure(change):
    body = struct.pack(">I", 9) + MAC + text(b"secret") + bytes([1 if change else 0])
    body += text(b"Xy" + b"0" * 32 if change else b"")
    body += struct.pack(">III", 0x0A090807, 0xFFFF0000, 0x0A090001) + bytes([0])
    body += text(b"renamed") + struct.pack(">II", 0x08080808, 0x08080404)
    return datagram(4, body)


LIBRARY = {
    "scan-answer-full": scan_answer(True),
    "scan-answer-absent": scan_answer(False),
    "scan-answer-revision-2": scan_answer(True, revision=2),
    "configure-accepted": datagram(6, struct.pack(">I", 9) + MAC + bytes([4, 0])),
    "configure-wrong-password": datagram(6, struct.pack(">I", 9) + MAC + bytes([4, 1])),
    "wink-answer": datagram(6, struct.pack(">I", 10) + MAC + bytes([5, 0])),
    "truncated-answer": scan_answer(True)[:40],
    # The header agrees with the body, but the body ends inside the type text.
    "short-body-answer": datagram(2, scan_answer(True)[8:30]),
    "wrong-version": datagram(2, b"", version=2),
    "foreign": b"GET / HTTP/1.0\r\n\r\n",
}
MODULE = {
    "scan-request": datagram(1, struct.pack(">I", 7)),
    "scan-acknowledge": datagram(3, struct.pack(">I", 7) + MAC),
    "configure": configure(False),
    "configure-new-password": configure(True),
    "wink": datagram(5, struct.pack(">I", 10) + MAC),
    "trailing-byte": datagram(1, struct.pack(">I", 7)) + b"\0",
    "long-body-length": datagram(1, struct.pack(">I", 7))[:6] + b"\xff\xff" + b"\0" * 4,
}
FLEET = {
    "generated-style.csv": (b"mac,report_mac,service,type,firmware,ip,mask,gateway,dhcp,hostname,"
                            b"dns1,dns2,report_password,hashed,password,password_hash\n"
                            b"0A-51-4D-00-00-01,1,1.10,\"QM, \"\"x\"\"\",1.2.3,10.0.0.2,"
                            b"255.255.0.0,10.0.0.1,0,host,10.0.0.53,,1,0,\"secret\",\n"),
    "absent.csv": b"# comment\nmac,ip,hostname\n0A-51-4D-00-00-02,,\n",
    "broken-quote.csv": b"mac,hostname\n0A-51-4D-00-00-03,\"open\n",
}


# The sequence harnesses: operations one byte each (see the harnesses). The client's ids count
# from 1; the emulated DHCP clients' ids are the first outputs of std::mt19937_64's default seed.
SCAN, CONFIGURE, WINK, DELIVER, TAKE, PEEK = range(6)


def deliver(sender, payload):
    return bytes([DELIVER, sender]) + struct.pack(">H", len(payload)) + payload


def command_answer(request_id, command, result):
    return datagram(6, struct.pack(">I", request_id) + MAC + bytes([command, result]))


CLIENT = {
    "scan-then-configure-accepted": bytes([SCAN]) + deliver(0, scan_answer(True, 1)) +
    bytes([TAKE, CONFIGURE, 0]) + deliver(0, command_answer(2, 4, 0)),
    "wrong-password": bytes([SCAN]) + deliver(8, scan_answer(True, 1)) + bytes([CONFIGURE, 0]) +
    deliver(8, command_answer(2, 4, 1)) + bytes([PEEK]),
    "second-sender-conflict": bytes([SCAN, CONFIGURE, 0]) + deliver(0, scan_answer(True, 1)) +
    deliver(5, scan_answer(True, 1)) + bytes([WINK, 0, TAKE, SCAN]) +
    deliver(0, scan_answer(False, 3)),
    "foreign-and-stale": bytes([WINK, 1]) + deliver(1, command_answer(1, 5, 0)) +
    deliver(0, command_answer(1, 5, 0)) + deliver(0, scan_answer(True, 9)) +
    deliver(2, b"GET / HTTP/1.0\r\n\r\n"),
}

DHCP_IDS = [4143361702, 2345144092, 2883868664]
OFFER, ACK, NAK = 2, 5, 6


def dhcp_answer(kind, xid, module, address=0x0A000064, mask=True):
    fixed = bytes([2, 1, 6, 0]) + struct.pack(">IHHIIII", xid, 0, 0x8000, 0, address, 0, 0)
    fixed += MAC[:5] + bytes([module + 1]) + bytes(10) + bytes(64 + 128)
    options = bytes([53, 1, kind, 54, 4, 10, 0, 0, 1])
    if mask:
        options += bytes([1, 4, 255, 255, 0, 0])
    return fixed + b"\x63\x82\x53\x63" + options + b"\xff"


def answer(payload, interface=0):
    return bytes([0, interface]) + struct.pack(">H", len(payload)) + payload


def wait(steps):
    return bytes([1, steps])


DHCP_CLIENT = {
    "offer-then-ack": bytes([0]) + wait(0) + answer(dhcp_answer(OFFER, DHCP_IDS[0], 0)) +
    wait(1) + answer(dhcp_answer(ACK, DHCP_IDS[0], 0)) + wait(1),
    "nak-restarts": bytes([1]) + wait(0) + answer(dhcp_answer(OFFER, DHCP_IDS[0], 0)) +
    wait(1) + answer(dhcp_answer(NAK, DHCP_IDS[0], 0, 0, False)) + wait(5) +
    answer(dhcp_answer(OFFER, DHCP_IDS[2], 0)) + wait(1),
    "configured-meanwhile": bytes([2]) + wait(0) + answer(dhcp_answer(OFFER, DHCP_IDS[1], 1)) +
    bytes([2, 1]) + answer(dhcp_answer(ACK, DHCP_IDS[1], 1)) + wait(9),
    "gives-up": bytes([0]) + wait(255) * 40,
    "other-link": bytes([0]) + wait(0) + answer(dhcp_answer(OFFER, DHCP_IDS[0], 0), 1) + wait(1),
}


def write(folder, files):
    os.makedirs(folder, exist_ok=True)
    for name, content in files.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(content)


write(os.path.join(ROOT, "zeva", "corpus", "zeva_library_datagram"), LIBRARY)
write(os.path.join(ROOT, "sim", "corpus", "sim_module_datagram"), MODULE)
write(os.path.join(ROOT, "sim", "corpus", "sim_fleet_file"), FLEET)
write(os.path.join(ROOT, "zeva", "corpus", "zeva_client_sequence"), CLIENT)
write(os.path.join(ROOT, "sim", "corpus", "sim_dhcp_client_sequence"), DHCP_CLIENT)
