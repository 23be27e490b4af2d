#!/usr/bin/env python3
"""qsmsim with the genuine PC/SC stack: pcscd with the vpcd driver, a pyscard client, openssl.

Usage: pcscd_interop_test.py <wine-exec> <qsmsim.exe>
Starts pcscd in the foreground (unless one already runs), starts qsmsim under Wine on the vpcd
port 35963, reads the answer to reset, selects 3F00 and 1000, reads the version, activates the
card, has a transaction and a daily report signed and verifies both signatures with openssl
against the public key of the certificate read from EF 1110. Exits 77 (skipped) where pcscd
cannot run.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77


def skip(why):
    print("SKIPPED: " + why)
    sys.exit(SKIP)


def fields_of(answer):
    """The answer's TLV fields as (tag, offset of the tag, value), walked from the start."""
    fields, i = [], 0
    while i < len(answer):
        assert i + 2 <= len(answer) and i + 2 + answer[i + 1] <= len(answer), "field runs past the end"
        fields.append((answer[i], i, answer[i + 2:i + 2 + answer[i + 1]]))
        i += 2 + answer[i + 1]
    return fields


def signed_part(request_data, answer):
    """The signed data (request data, then the answer up to its 9E field) and the signature."""
    fields = fields_of(answer)
    signature = [f for f in fields if f[0] == 0x9E]
    assert len(signature) == 1 and len(signature[0][2]) == 48, fields
    return request_data + answer[:signature[0][1]], signature[0][2]


def main():
    wine_exec, qsmsim = sys.argv[1], sys.argv[2]
    pcscd = shutil.which("pcscd") or ("/usr/sbin/pcscd" if os.path.exists("/usr/sbin/pcscd") else None)
    if not pcscd:
        skip("pcscd is not installed")
    if not os.path.exists("/usr/lib/pcsc/drivers/serial/libifdvpcd.so"):
        skip("the vpcd driver (vsmartcard-vpcd) is not installed")
    if not shutil.which("openssl"):
        skip("openssl is not installed")
    try:
        from smartcard.System import readers
        from smartcard.Exceptions import NoCardException, CardConnectionException
    except ImportError:
        skip("python3-pyscard is not installed")

    work = tempfile.mkdtemp(prefix="qsmsim-interop-")
    procs = []
    try:
        socket_path = "/run/pcscd/pcscd.comm"
        if not os.path.exists(socket_path):
            log = open(os.path.join(work, "pcscd.log"), "w")
            daemon = subprocess.Popen([pcscd, "-f"], stdout=log, stderr=subprocess.STDOUT)
            procs.append(daemon)
            for _ in range(100):
                if os.path.exists(socket_path) or daemon.poll() is not None:
                    break
                time.sleep(0.1)
            if daemon.poll() is not None or not os.path.exists(socket_path):
                skip("pcscd cannot run here (exit %s)" % daemon.poll())
        names = [str(r) for r in readers()]
        vpcd = [n for n in names if "Virtual PCD" in n]
        if not vpcd:
            skip("pcscd lists no vpcd reader: %s" % names)
        reader_name = sorted(vpcd)[0]  # the reader on port 35963

        env = dict(os.environ)
        sim = subprocess.Popen([wine_exec, qsmsim, "--port", "35963", "--state", os.path.join(work, "card.state"),
                                "--log", os.path.join(work, "card.log")], env=env,
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        procs.append(sim)

        conn = None
        for _ in range(300):  # hang guard: 60 s for Wine to start the card
            reader = [r for r in readers() if str(r) == reader_name][0]
            try:
                conn = reader.createConnection()
                conn.connect()
                break
            except (NoCardException, CardConnectionException):
                conn = None
                time.sleep(0.2)
        assert conn, "the card never appeared in " + reader_name

        def send(hexText, ok=True):
            data, sw1, sw2 = conn.transmit(list(bytes.fromhex(hexText)))
            if ok:
                assert (sw1, sw2) == (0x90, 0x00), "%s -> %02X %02X" % (hexText, sw1, sw2)
            return bytes(data)

        atr = bytes(conn.getATR()).hex(" ").upper()
        assert atr == "3B F2 18 00 02 C1 0A 31 FE 58 C8 08 74", atr
        send("00 A4 00 0C 02 3F 00")
        send("00 A4 00 0C 02 10 00")
        version = send("00 CA 01 88 00").hex(" ").upper()
        assert "70 04 72 80 C8 08 8F 01 01" in version, version
        send("80 42 04 00 12 CD 04 20 24 03 15 CE 02 09 00 C3 06 31 32 33 34 35 36 00")

        data = bytes.fromhex("CD 04 20 24 03 15 CE 02 14 30 C6 04 41 6E 6E 61 C7 14" + " 22" * 20 +
                             " C8 02 03 D2 E1 0D D8 03 01 99 0C DA 02 31 8C DB 02 19 00")
        response = send("80 40 00 00 %02X %s 00" % (len(data), data.hex()))
        # tpId, tpIdNo, sequence number, then the signature field 9E 30.
        assert [f[0] for f in fields_of(response)] == [0xC4, 0xC5, 0xCB, 0x9E], fields_of(response)
        transaction = signed_part(data, response)

        # A signed daily report closes the day: life cycle, identity, report number, first and last
        # transaction, transaction counter, the class 1 container, then the signature.
        report_data = bytes.fromhex("CD 04 20 24 03 15 CE 02 18 00")
        report = send("80 42 01 00 %02X %s 00" % (len(report_data), report_data.hex()))
        assert [f[0] for f in fields_of(report)] == [0xC1, 0xC4, 0xC5, 0xCC, 0xD2, 0xD3, 0xCB, 0xE1, 0x9E], \
            fields_of(report)
        daily = signed_part(report_data, report)

        send("00 A4 00 0C 02 11 10")
        cert = send("00 B0 00 00 00")
        length = (cert[2] << 8 | cert[3]) + 4
        while len(cert) < length:
            cert += send("00 B0 %04X %02X" % (len(cert), min(256, length - len(cert)) % 256))
        conn.disconnect()
        getattr(conn, "release", lambda: None)()
        conn = None

        paths = {n: os.path.join(work, n) for n in ("cert.der", "pub.pem", "msg.bin", "sig.der")}
        open(paths["cert.der"], "wb").write(cert)
        pub = subprocess.run(["openssl", "x509", "-inform", "DER", "-in", paths["cert.der"], "-noout", "-pubkey"],
                             capture_output=True, text=True, check=True).stdout
        open(paths["pub.pem"], "w").write(pub)

        def der_int(b):
            b = b.lstrip(b"\0") or b"\0"
            if b[0] & 0x80:
                b = b"\0" + b
            return bytes([2, len(b)]) + b

        def verifies(message, signature):
            body = der_int(signature[:24]) + der_int(signature[24:])
            open(paths["sig.der"], "wb").write(bytes([0x30, len(body)]) + body)
            open(paths["msg.bin"], "wb").write(message)
            check = subprocess.run(["openssl", "dgst", "-sha1", "-verify", paths["pub.pem"], "-signature",
                                    paths["sig.der"], paths["msg.bin"]], capture_output=True, text=True)
            return check.returncode == 0 and "Verified OK" in check.stdout

        for name, (message, signature) in (("transaction", transaction), ("daily report", daily)):
            assert verifies(message, signature), "the %s signature does not verify" % name
            # A changed byte of the signed data must not verify.
            changed = message[:9] + bytes([message[9] ^ 1]) + message[10:]
            assert not verifies(changed, signature), "a changed %s verified" % name
        print("interop: ATR, selection, version, transaction and daily report verified with openssl")
    finally:
        for p in reversed(procs):
            p.terminate()
            try:
                p.wait(10)
            except subprocess.TimeoutExpired:
                p.kill()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
