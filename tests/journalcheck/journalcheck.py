#!/usr/bin/env python3
"""Checks the journal pair of a register run against itself and against the card's certificate.

Usage: journalcheck.py [--cert CERT.der] [--unclosed] [--export] [--cache FILE] L.xml S.xml

Reads the L journal (readable fields) and the S journal (encoded blocks) and confirms, event by
event (transactions and reports in the order they were journalled):
- every transaction and report signature, with openssl, against the public key of the
  certificate (the one given with --cert, else the one each journal's card parameter block
  holds; a given certificate must also be the one in the journals);
- the transaction numbers and report numbers run on without a gap, except where the journals
  hold failed exchanges (a transaction or report without a response) since the last good one;
- the VAT containers of every transaction against its item list (turnover, negative turnover,
  VAT at the container's rate, gross or net as the vatAddon field says), and the item list's
  SHA-1 against the hash field;
- S and L agree: the decoded requests and responses against the readable fields, the item
  list against the L journal's items, the card parameter blocks of both files;
- a transaction response's debug hash (field 9A), when there is one, is the SHA-1 of the signed
  data.

Both files must be complete journals ending in </vantra>; with --unclosed, as after a killed
run, the root close tag (and nothing else) must be missing.

With --export the pair is an export pair, continued over runs of the register: the register
adds a card's parameter block to it after the entries of the flush that brought the block, so
entries may stand before the first block; they are read against the first block of the pair.

With --cache, the signatures openssl confirmed are noted in FILE (by the SHA-256 of public key,
signed data and signature) and not given to openssl again in a later run.

Prints "journalcheck: OK ..." and exits 0, or prints the first failure as
"journalcheck: FAIL <file> at byte <offset> <element>: <reason>" and exits 1 (2: bad usage).
"""
import base64
import concurrent.futures
import hashlib
import os
import subprocess
import sys
import tempfile


class Failure(Exception):
    def __init__(self, node, reason):
        super().__init__(reason)
        self.node = node
        self.reason = reason


class Node:
    """One element of a journal: its name, byte offset in the file, text and children."""

    def __init__(self, name, file, offset, parent=None):
        self.name, self.file, self.offset, self.parent = name, file, offset, parent
        self.text = ""
        self.children = []

    def path(self):
        names, n = [], self
        while n is not None and n.parent is not None:
            names.append(n.name)
            n = n.parent
        return "/".join(reversed(names))

    def child(self, name):
        for c in self.children:
            if c.name == name:
                return c
        return None

    def need(self, name):
        c = self.child(name)
        if c is None:
            raise Failure(self, "no <%s> element" % name)
        return c


def parse(file, data, unclosed):
    """The journal's element tree (a root Node named "vantra"). The journals are written without
    escaping and without line breaks, so the text between two tags is taken as it stands."""
    pos = 0
    if data.startswith("<?xml"):
        pos = data.index("?>") + 2
    top = Node("#file", file, 0)
    stack = [top]
    while pos < len(data):
        lt = data.find("<", pos)
        if lt < 0:
            if data[pos:].strip():
                raise Failure(stack[-1], "text after the last tag at byte %d" % pos)
            break
        if lt > pos:
            stack[-1].text += data[pos:lt]
        gt = data.find(">", lt)
        if gt < 0:
            raise Failure(stack[-1], "a tag at byte %d does not end" % lt)
        tag = data[lt + 1:gt]
        if tag.startswith("/"):
            name = tag[1:].strip()
            if len(stack) == 1 or stack[-1].name != name:
                raise Failure(stack[-1], "</%s> at byte %d closes <%s>" % (name, lt, stack[-1].name))
            stack.pop()
        else:
            empty = tag.endswith("/")
            name = tag.rstrip("/").strip()
            node = Node(name, file, lt, stack[-1])
            stack[-1].children.append(node)
            if not empty:
                stack.append(node)
        pos = gt + 1
    roots = [c for c in top.children]
    if len(roots) != 1 or roots[0].name != "vantra":
        raise Failure(top, "the file does not hold one <vantra> element")
    open_names = [n.name for n in stack[1:]]
    if unclosed:
        if open_names != ["vantra"]:
            raise Failure(stack[-1], "open at the end: %s (only </vantra> may be missing)" % open_names)
    elif open_names:
        raise Failure(stack[-1], "the file ends inside <%s>" % "><".join(open_names))
    return roots[0]


def fields(node, data, what):
    """TLV fields of bytes as (tag, offset of the tag, value bytes)."""
    out, i = [], 0
    while i < len(data):
        if i + 2 > len(data) or i + 2 + data[i + 1] > len(data):
            raise Failure(node, "%s: field at byte %d runs past the end" % (what, i))
        out.append((data[i], i, data[i + 2:i + 2 + data[i + 1]]))
        i += 2 + data[i + 1]
    return out


def decode64(node):
    try:
        return base64.b64decode(node.text.encode("latin-1"), validate=True)
    except Exception:
        raise Failure(node, "not base64")


def bcd_amount(node, value):
    """Signed packed BCD (sign nibble C or D last) as an integer."""
    digits = value.hex().upper()
    if not digits or digits[-1] not in "CD" or not digits[:-1].isdigit():
        raise Failure(node, "not a signed packed BCD amount: %s" % digits)
    n = int(digits[:-1] or "0")
    return -n if digits[-1] == "D" else n


def bcd_digits(node, value):
    """Signed packed BCD as the readable report fields write it: every digit, leading zeros
    kept, with "-" in front for the sign nibble D (09 9C gives "099")."""
    digits = value.hex().upper()
    if not digits or digits[-1] not in "CD" or not digits[:-1].isdigit():
        raise Failure(node, "not a signed packed BCD amount: %s" % digits)
    return ("-" if digits[-1] == "D" else "") + digits[:-1]


def cleaned(text):
    """An operator id, item name or unit as the card sees it: capitals to lower case, blanks,
    control characters and 127 dropped, anything but "#", digits and a-z as "#", at most 16."""
    out = ""
    for ch in text:
        c = ch.lower() if "A" <= ch <= "Z" else ch
        if ord(c) < 33 or ord(c) == 127:
            continue
        out += c if c == "#" or c.isdigit() and c.isascii() or "a" <= c <= "z" else "#"
        if len(out) == 16:
            break
    return out


def number(value):
    return int.from_bytes(value, "big") if value else 0


def signed32(node, value):
    if len(value) > 4:
        raise Failure(node, "number of %d bytes" % len(value))
    n = number(value)
    return n - (1 << 32) if len(value) == 4 and n >= 1 << 31 else n


def round_half_away(x):
    return int(x + 0.5) if x >= 0 else -int(-x + 0.5)


def expect(node, what, want, got):
    if want != got:
        raise Failure(node, "%s: %r where the other journal gives %r" % (what, got, want))


class Signatures:
    """ECDSA-with-SHA1 signatures checked by openssl against one certificate's public key.

    A signature openssl confirmed is noted (by the SHA-256 of public key, data and signature) and,
    with a cache file, kept there for later runs over the same signatures. While `collect` is a
    list, signatures are only gathered into it, to be confirmed side by side by `confirm`."""

    def __init__(self, work, cache=None):
        self.work = work
        self.keys = {}
        self.count = 0
        self.cache = cache
        self.confirmed = set()
        self.collect = None
        if cache and os.path.exists(cache):
            with open(cache) as f:
                self.confirmed = set(f.read().split())

    def key_of(self, node, cert):
        if cert not in self.keys:
            der = os.path.join(self.work, "cert%d.der" % len(self.keys))
            pem = os.path.join(self.work, "pub%d.pem" % len(self.keys))
            with open(der, "wb") as f:
                f.write(cert)
            r = subprocess.run(["openssl", "x509", "-inform", "DER", "-in", der, "-noout", "-pubkey", "-out", pem],
                               capture_output=True, text=True)
            if r.returncode != 0:
                raise Failure(node, "openssl cannot read the certificate: %s" % r.stderr.strip())
            with open(pem, "rb") as f:
                self.keys[cert] = (pem, f.read())
        return self.keys[cert]

    @staticmethod
    def noted(key, message, signature):
        return hashlib.sha256(key[1] + b"\0" + message + b"\0" + signature).hexdigest()

    def openssl(self, key, message, signature, name):
        """openssl's answer: (verified, its output)."""

        def der_int(b):
            b = b.lstrip(b"\0") or b"\0"
            if b[0] & 0x80:
                b = b"\0" + b
            return b"\x02" + bytes([len(b)]) + b

        body = der_int(signature[:24]) + der_int(signature[24:])
        sig = os.path.join(self.work, "sig%s.der" % name)
        msg = os.path.join(self.work, "msg%s.bin" % name)
        with open(sig, "wb") as f:
            f.write(b"\x30" + bytes([len(body)]) + body)
        with open(msg, "wb") as f:
            f.write(message)
        r = subprocess.run(["openssl", "dgst", "-sha1", "-verify", key[0], "-signature", sig, msg],
                           capture_output=True, text=True)
        return r.returncode == 0 and "Verified OK" in r.stdout, (r.stdout + r.stderr).strip()

    def note(self, noted):
        self.confirmed.add(noted)
        if self.cache:
            with open(self.cache, "a") as f:
                f.write(noted + "\n")

    def verify(self, node, cert, message, signature):
        if len(signature) != 48:
            raise Failure(node, "signature of %d bytes, not 48" % len(signature))
        key = self.key_of(node, cert)
        self.count += 1
        if self.collect is not None:
            self.collect.append((key, message, signature))
            return
        noted = self.noted(key, message, signature)
        if noted in self.confirmed:
            return
        ok, output = self.openssl(key, message, signature, "")
        if not ok:
            raise Failure(node, "the signature does not verify (openssl: %s)" % output)
        self.note(noted)

    def confirm(self, gathered):
        """Runs openssl over the gathered signatures side by side and notes those it confirms."""
        todo = {self.noted(*g): g for g in gathered}
        todo = [(n, g) for n, g in todo.items() if n not in self.confirmed]
        with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 4) as pool:
            results = pool.map(lambda job: (job[0], self.openssl(*job[1][1], name=job[0])[0]), enumerate(todo))
            for i, ok in results:
                if ok:
                    self.note(todo[i][0])


class Checker:
    def __init__(self, cert, signatures):
        self.cert = cert
        self.signatures = signatures
        self.params_cert = None
        self.params_tp = None
        self.last_seq = None  # last transaction number the card gave
        self.failed_since_seq = 0
        self.last_report = None
        self.failed_since_report = 0
        self.transactions = self.failed = self.reports = 0

    # --- card parameter blocks ---------------------------------------------------------------
    def params(self, l, s):
        texts = {}
        for node in (l, s):
            t = {c.name: c.text for c in node.children}
            for name in ("qsmVersion", "tpId", "tpIdNo", "itemProfile", "certificate"):
                node.need(name)
            texts[node.file] = t
        expect(s, "card parameter block", texts[l.file], texts[s.file])
        cert_node = s.need("certificate")
        cert = decode64(cert_node)
        if not cert:
            raise Failure(cert_node, "no certificate")
        if self.cert is not None and cert != self.cert:
            raise Failure(cert_node, "the certificate is not the card's")
        self.params_cert = cert
        self.params_tp = (texts[l.file]["tpId"], texts[l.file]["tpIdNo"])

    # --- transactions --------------------------------------------------------------------------
    def transaction(self, l, s):
        self.transactions += 1
        items_node = s.need("itemListEncoded")
        items = decode64(items_node)
        item_fields = fields(items_node, items, "item list")
        hash_node = l.need("hashTransactionItems")
        if hash_node.text != hashlib.sha1(items).hexdigest().upper():
            raise Failure(hash_node, "the item list's SHA-1 is %s" % hashlib.sha1(items).hexdigest().upper())
        self.items_agree(l.need("itemList"), items_node, item_fields)

        request_node, response_node = s.child("transactionRequest"), s.child("transactionResponse")
        if request_node is None and response_node is None:
            if l.child("seqNoTransaction") is not None or l.child("sig") is not None:
                raise Failure(l, "a signed transaction in L whose exchange S does not hold")
            self.failed += 1
            self.failed_since_seq += 1
            self.vat_against_items(l, None, item_fields)
            return
        if request_node is None or response_node is None:
            raise Failure(s, "a request without a response or a response without a request")
        request, response = decode64(request_node), decode64(response_node)
        req = fields(request_node, request, "request")
        resp = fields(response_node, response, "response")

        # The signature first: over the request and the response up to its 9E field.
        sig = [f for f in resp if f[0] == 0x9E]
        if len(sig) != 1:
            raise Failure(response_node, "the response holds %d signature fields" % len(sig))
        self.signatures.verify(response_node, self.params_cert, request + response[:sig[0][1]], sig[0][2])

        # The request against the readable fields.
        by_tag = {}
        for tag, _, value in req:
            if tag in by_tag:
                raise Failure(request_node, "field %02X twice" % tag)
            by_tag[tag] = value
        expect(l.need("date"), "date", by_tag.get(0xCD, b"").hex(), l.need("date").text)
        expect(l.need("time"), "time", by_tag.get(0xCE, b"").hex(), l.need("time").text)
        expect(hash_node, "hash field", by_tag.get(0xC7, b"").hex().upper(), hash_node.text)
        if by_tag.get(0xC8) != b"\x03\xD2":
            raise Failure(request_node, "currency field %s" % by_tag.get(0xC8, b"").hex())
        expect(l.need("currency"), "currency", "0978", l.need("currency").text)
        op = l.child("operatorId")
        if (0xC6 in by_tag) != (op is not None and cleaned(op.text) != ""):
            raise Failure(op or l, "operator id in only one journal")
        if op is not None and 0xC6 in by_tag:
            expect(op, "operator id", by_tag[0xC6].decode("latin-1"), cleaned(op.text))
        for tag, name in ((0xC9, "vatAddon"), (0xCA, "training")):
            if (tag in by_tag) != (l.child(name) is not None):
                raise Failure(l.child(name) or l, "<%s/> in only one journal" % name)
        self.containers_agree(l, req, request_node)
        self.vat_against_items(l, by_tag, item_fields)

        # The response against the readable fields.
        if len(resp) < 4 or [f[0] for f in resp[:4]] != [0xC4, 0xC5, 0xCB, 0x9E]:
            raise Failure(response_node, "response fields %s" % [format(f[0], "02X") for f in resp])
        tp_node = l.need("tpId")
        expect(tp_node, "tpId", resp[0][2].decode("latin-1"), tp_node.text)
        expect(tp_node, "tpId of the card parameter block", self.params_tp[0], tp_node.text)
        expect(l.need("tpIdNo"), "tpIdNo", str(signed32(response_node, resp[1][2])), l.need("tpIdNo").text)
        seq_node = l.need("seqNoTransaction")
        seq = signed32(response_node, resp[2][2])
        expect(seq_node, "seqNoTransaction", str(seq), seq_node.text)
        expect(l.need("sig"), "sig", resp[3][2].hex().upper(), l.need("sig").text)
        debug = [f for f in resp if f[0] == 0x9A]
        signed = request + response[:sig[0][1]]
        if debug and debug[0][2] != hashlib.sha1(signed).digest():
            raise Failure(response_node, "the debug hash is not the SHA-1 of the signed data")
        if debug or l.child("debugHashTransaction") is not None:
            dnode = l.child("debugHashTransaction") or l
            expect(dnode, "debugHashTransaction", debug[0][2].hex().upper() if debug else None,
                   l.child("debugHashTransaction").text if l.child("debugHashTransaction") else None)

        self.sequence(seq_node, seq)

    def items_agree(self, l_items, s_node, item_fields):
        """The L journal's items against the encoded item list: quantity and amounts per item."""
        encoded, current = [], None
        for tag, _, value in item_fields:
            if tag == 0xA0:
                current = {"qnt": value.decode("latin-1"), "unit": None, "prices": {}}
                encoded.append(current)
            elif current is None:
                raise Failure(s_node, "item field %02X before the first quantity" % tag)
            elif tag == 0xA1:
                current["unit"] = value.decode("latin-1")
            elif tag == 0xA2:
                current["name"] = value.decode("latin-1")
            elif 0xB1 <= tag <= 0xB6:
                current["prices"][tag - 0xB0] = bcd_amount(s_node, value)
        readable = []
        for item in l_items.children:
            prices = {}
            for c in item.children:
                if c.name.startswith("price"):
                    try:
                        prices[int(c.name[5:])] = int(c.text)
                    except ValueError:
                        raise Failure(c, "not an amount: %r" % c.text)
            qnt, unit, name = item.child("qnt"), item.child("unit"), item.child("name")
            readable.append((item, {"qnt": qnt.text if qnt else None, "unit": unit.text if unit else None,
                                    "name": cleaned(name.text) if name else None, "prices": prices}))
        if len(readable) != len(encoded):
            raise Failure(l_items, "%d items where the encoded list holds %d" % (len(readable), len(encoded)))
        for (item, r), e in zip(readable, encoded):
            expect(item, "item", e, r)

    def containers_agree(self, l, req, request_node):
        containers = {f[0]: f for f in req if 0xE1 <= f[0] <= 0xE8}
        readable = [c for c in l.children if c.name.startswith("container")]
        names = {"containerVat%d" % n: 0xE0 + n for n in range(1, 7)}
        names.update(containerThirdparty=0xE7, containerDeliverynote=0xE8)
        seen = set()
        for c in readable:
            tag = names.get(c.name)
            if tag is None or tag not in containers:
                raise Failure(c, "<%s> without its field in the request" % c.name)
            seen.add(tag)
            inner = {t: v for t, _, v in fields(request_node, containers[tag][2], "container %02X" % tag)}
            for sub, t in (("turnover", 0xD8), ("turnoverNeg", 0xD9), ("vat", 0xDA)):
                node = c.child(sub)
                want = str(bcd_amount(request_node, inner[t])) if t in inner else None
                expect(node or c, c.name + " " + sub, want, node.text if node else None)
            rate = c.child("vatRate")
            want = inner[0xDB].hex().rjust(4, "0") if 0xDB in inner else None
            expect(rate or c, c.name + " vatRate", want, rate.text if rate else None)
        missing = set(containers) - seen
        if missing:
            raise Failure(l, "container field %02X of the request has no element" % min(missing))

    def vat_against_items(self, l, by_tag, item_fields):
        """Sums the item list's amounts per class and checks the containers of the request (or,
        for a failed transaction, the L journal's containers) against them."""
        exclusive = l.child("vatAddon") is not None
        amounts = {n: [] for n in range(1, 7)}
        for tag, _, value in item_fields:
            if 0xB1 <= tag <= 0xB6:
                amounts[tag - 0xB0].append(bcd_amount(l, value))
        for n in range(1, 7):
            node = l.child("containerVat%d" % n)
            turnover = sum(amounts[n])
            neg = sum(-a for a in amounts[n] if a <= 0)
            if turnover == 0 and neg == 0:
                if node is not None:
                    raise Failure(node, "a container for class %d, which has no amounts" % n)
                continue
            if node is None:
                raise Failure(l, "class %d has amounts (turnover %d) but no container" % (n, turnover))
            if by_tag is not None:
                inner = {t: v for t, _, v in fields(l, by_tag.get(0xE0 + n, b""), "container")}
                got = {k: (bcd_amount(l, inner[t]) if t in inner else 0) for k, t in
                       (("turnover", 0xD8), ("turnoverNeg", 0xD9), ("vat", 0xDA))}
                rate_digits = inner.get(0xDB, b"").hex()
            else:
                got = {k: int(node.child(k).text) if node.child(k) else 0 for k in ("turnover", "turnoverNeg", "vat")}
                rate_digits = node.need("vatRate").text
            if not rate_digits.isdigit():
                raise Failure(node, "rate %r" % rate_digits)
            r = int(rate_digits) / 10000.0
            vat = 0.0
            for a in amounts[n]:
                vat += a * r if exclusive else a * (1 - 1 / (1 + r))
            if got["turnover"] != turnover or got["turnoverNeg"] != neg:
                raise Failure(node, "turnover %d, negative %d where the items give %d and %d" %
                              (got["turnover"], got["turnoverNeg"], turnover, neg))
            if abs(got["vat"] - vat) > 0.5 + 1e-6:
                raise Failure(node, "VAT %d where the items give %.2f at %s %%" %
                              (got["vat"], vat, rate_digits[:-2] + "." + rate_digits[-2:]))

    def sequence(self, node, seq):
        if self.last_seq is not None and not (self.last_seq < seq <= self.last_seq + 1 + self.failed_since_seq):
            raise Failure(node, "transaction number %d follows %d (%d failed transactions between)" %
                          (seq, self.last_seq, self.failed_since_seq))
        self.last_seq, self.failed_since_seq = seq, 0

    # --- reports -------------------------------------------------------------------------------
    def report(self, l, s):
        self.reports += 1
        request_node, response_node = s.child("reportRequest"), s.child("reportResponse")
        if request_node is None:
            raise Failure(s, "a report without its request")
        request = decode64(request_node)
        req = {t: v for t, _, v in fields(request_node, request, "report request")}
        response = decode64(response_node) if response_node is not None else b""
        resp = fields(response_node, response, "report response") if response_node is not None else []
        # The signature first: over the request and the response up to its 9E field.
        sig = [f for f in resp if f[0] == 0x9E]
        if sig:
            self.signatures.verify(response_node, self.params_cert, request + response[:sig[0][1]], sig[0][2])
        expect(l.need("date"), "date", req.get(0xCD, b"").hex(), l.need("date").text)
        expect(l.need("time"), "time", req.get(0xCE, b"").hex(), l.need("time").text)
        if response_node is None:
            if l.child("seqNoReport") is not None:
                raise Failure(l, "a report in L whose response S does not hold")
            self.failed_since_report += 1
            return
        if l.child("sig") is not None or sig:
            expect(l.child("sig") or l, "sig", sig[0][2].hex().upper() if sig else None,
                   l.child("sig").text if l.child("sig") else None)
        tags = {t: v for t, _, v in resp}
        expect(l.need("lifeCycle"), "lifeCycle", tags.get(0xC1, b"").hex().upper(), l.need("lifeCycle").text)
        expect(l.need("tpId"), "tpId", tags.get(0xC4, b"").decode("latin-1"), l.need("tpId").text)
        expect(l.need("tpIdNo"), "tpIdNo", str(signed32(response_node, tags.get(0xC5, b""))), l.need("tpIdNo").text)
        for tag, name in ((0xCC, "seqNoReport"), (0xD2, "seqNoTransactionFirst"), (0xD3, "seqNoTransactionLast"),
                          (0xCB, "seqNoTransaction")):
            node = l.child(name)
            want = str(signed32(response_node, tags[tag])) if tag in tags else None
            expect(node or l, name, want, node.text if node else None)
        names = {0xE0 + n: "containerVat%d" % n for n in range(1, 7)}
        names.update({0xE7: "containerThirdparty", 0xE8: "containerDeliverynote", 0xE9: "containerTraining"})
        want_containers = [names[t] for t, _, _ in resp if t in names]
        got_containers = [c.name for c in l.children if c.name.startswith("container")]
        expect(l, "containers", want_containers, got_containers)
        for (t, _, v), c in zip([f for f in resp if f[0] in names], [c for c in l.children if c.name in names.values()]):
            inner = fields(response_node, v, "container %02X" % t)
            itags = {it: iv for it, _, iv in inner}
            want = {"turnover": bcd_digits(response_node, itags[0xD8]) if 0xD8 in itags else None}
            if 0xD9 in itags:
                want["turnoverNeg"] = bcd_digits(response_node, itags[0xD9])
            if 0xDB in itags:
                want["vatRate"] = itags[0xDB].hex().rjust(4, "0")
            if 0xDC in itags:
                want["cnt"] = str(number(itags[0xDC]))
            # The readable amounts are the BCD digit texts, leading zero of an even digit count and all.
            got = {k: c.child(k).text for k in want if c.child(k) is not None}
            for k in want:
                got.setdefault(k, None)
            expect(c, c.name, want, got)

        seq_node = l.need("seqNoReport")
        seq = int(seq_node.text)
        if self.last_report is not None and not (
                self.last_report < seq <= self.last_report + 1 + self.failed_since_report):
            raise Failure(seq_node, "report number %d follows %d (%d failed reports between)" %
                          (seq, self.last_report, self.failed_since_report))
        self.last_report, self.failed_since_report = seq, 0
        counter = l.child("seqNoTransaction")
        if counter is not None and self.last_seq is not None:
            n = int(counter.text)
            if not (self.last_seq <= n <= self.last_seq + self.failed_since_seq):
                raise Failure(counter, "the card's transaction counter %d after transaction %d" % (n, self.last_seq))


def check(l_path, s_path, cert, unclosed, export=False, cache=None):
    roots = []
    for path in (l_path, s_path):
        with open(path, "rb") as f:
            roots.append(parse(os.path.basename(path), f.read().decode("latin-1"), unclosed))
    l_root, s_root = roots
    with tempfile.TemporaryDirectory(prefix="journalcheck-") as work:
        signatures = Signatures(work, cache)
        # A first walk gathers the signatures up to the first failure for openssl to confirm side
        # by side; the second walk checks everything in order.
        signatures.collect = []
        try:
            walk(Checker(cert, signatures), l_root, s_root, export)
        except Failure:
            pass
        gathered, signatures.collect, signatures.count = signatures.collect, None, 0
        signatures.confirm(gathered)
        checker = Checker(cert, signatures)
        walk(checker, l_root, s_root, export)
        return checker


def walk(checker, l_root, s_root, export):
    l_events = [c for c in l_root.children if c.name != "document-information"]
    s_events = [c for c in s_root.children if c.name != "document-information"]
    pairs = {"qsmParams": "qsmParams", "transaction": "transactionEncoded", "report": "reportEncoded"}
    if export:
        # The first block of each file, and both must be the same block of the pair.
        firsts = [next((i for i, e in enumerate(events) if e.name == "qsmParams"), None)
                  for events in (l_events, s_events)]
        if firsts[0] is None:
            raise Failure(l_root, "no card parameter block in the export pair")
        if firsts[1] != firsts[0]:
            node = s_events[firsts[1]] if firsts[1] is not None else s_root
            raise Failure(node, "the first card parameter block stands elsewhere than in the L file")
        checker.params(l_events[firsts[0]], s_events[firsts[1]])
    for i in range(max(len(l_events), len(s_events))):
        if i >= len(l_events):
            raise Failure(s_events[i], "<%s> has no counterpart in the L journal" % s_events[i].name)
        if i >= len(s_events):
            raise Failure(l_events[i], "<%s> has no counterpart in the S journal" % l_events[i].name)
        l, s = l_events[i], s_events[i]
        if pairs.get(l.name) != s.name:
            raise Failure(l, "<%s> where the S journal holds <%s>" % (l.name, s.name))
        if l.name == "qsmParams":
            checker.params(l, s)
        elif checker.params_cert is None:
            raise Failure(l, "an entry before the card parameter block")
        elif l.name == "transaction":
            checker.transaction(l, s)
        else:
            checker.report(l, s)


def main(argv):
    cert_path, unclosed, export, cache, files = None, False, False, None, []
    args = iter(argv)
    for a in args:
        if a == "--cert":
            cert_path = next(args, None)
        elif a == "--unclosed":
            unclosed = True
        elif a == "--export":
            export = True
        elif a == "--cache":
            cache = next(args, None)
        else:
            files.append(a)
    if len(files) != 2 or (cert_path is None and "--cert" in argv) or (cache is None and "--cache" in argv):
        print(__doc__.strip().splitlines()[2])
        return 2
    cert = None
    if cert_path:
        with open(cert_path, "rb") as f:
            cert = f.read()
    try:
        c = check(files[0], files[1], cert, unclosed, export, cache)
    except Failure as f:
        print("journalcheck: FAIL %s at byte %d <%s>: %s" % (f.node.file, f.node.offset, f.node.path(), f.reason))
        return 1
    print("journalcheck: OK: %d transactions (%d failed), %d reports, %d signatures verified" %
          (c.transactions, c.failed, c.reports, c.signatures.count))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
