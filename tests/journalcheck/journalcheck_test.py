#!/usr/bin/env python3
"""The journal checker over the journal pairs that journal_runs_test left, and over copies of the
plain run made wrong on purpose.

Usage: journalcheck_test.py <journal_runs folder>
Every run folder (L.xml, S.xml, card.der, "unclosed" for a killed run, "export" for an export
pair) must pass, and a run that ended in order must be well-formed XML (xmllint). Copies of the
plain run (SalesOfEveryKindAreJournalledInBothFiles) and of the long run of 500 receipts and
reports must fail, naming the file and the byte where they were made wrong: one byte of a signed
field changed in the S journal and in the L journal, one transaction (or report) removed from
both, S and L disagreeing; the run with the lost reply must fail once its failed transaction is
removed (a gap no failed exchange explains); the export pair continued over two runs passes as
an export pair and fails with a transaction of its second run removed.
"""
import base64
import os
import re
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
CHECKER = os.path.join(HERE, "journalcheck.py")
RUNS = None
# The signatures openssl confirmed once, for the checker's later runs over copies of the same runs.
CACHE = None
PLAIN = "SalesOfEveryKindAreJournalledInBothFiles"
LOST_REPLY = "AReplyLostAfterTheCardSignedLeavesAGapThatTheJournalsExplain"
LONG = "FiveHundredReceiptsAndReportsFromTheWindowsAreJournalledInOrder"
EXPORT = "AnExportPairContinuedInASecondRunHoldsBothRuns"
CARD_GONE_IN_MASS_RUN = "TheCardGoneInTheMiddleOfAMassRunEndsTheProgramInOrder"


def run_checker(folder, l_bytes=None, s_bytes=None, unclosed=False, export=True):
    """Runs the checker on a run folder, with the L or S journal replaced by the given bytes (and,
    export=False, an export pair read as a journal pair)."""
    with tempfile.TemporaryDirectory(prefix="journalcheck-test-") as work:
        paths = []
        for name, replaced in (("L.xml", l_bytes), ("S.xml", s_bytes)):
            path = os.path.join(work, name)
            if replaced is None:
                with open(os.path.join(folder, name), "rb") as f:
                    replaced = f.read()
            with open(path, "wb") as f:
                f.write(replaced)
            paths.append(path)
        args = [sys.executable, CHECKER, "--cert", os.path.join(folder, "card.der"), "--cache", CACHE]
        if unclosed or os.path.exists(os.path.join(folder, "unclosed")):
            args.append("--unclosed")
        if export and os.path.exists(os.path.join(folder, "export")):
            args.append("--export")
        r = subprocess.run(args + paths, capture_output=True, text=True)
        return r.returncode, r.stdout.strip() + r.stderr.strip()


def read(folder, name):
    with open(os.path.join(RUNS, folder, name), "rb") as f:
        return f.read()


def elements(data, name, within=None):
    """(start, end) of every element <name>...</name> in the bytes (or in the span `within`)."""
    lo, hi = within or (0, len(data))
    return [(m.start(), data.index(b"</%s>" % name, m.start()) + len(name) + 3)
            for m in re.finditer(b"<%s>" % name, data) if lo <= m.start() < hi]


def changed_base64(data, span, name, at):
    """The bytes with one byte of the base64 element <name> at `span` changed (decoded byte `at`)."""
    inner, end = span[0] + len(name) + 2, span[1] - len(name) - 3
    decoded = bytearray(base64.b64decode(data[inner:end]))
    decoded[at] ^= 0x01
    return data[:inner] + base64.b64encode(bytes(decoded)) + data[end:]


def changed_digit(data, span, name):
    """The bytes with the first character of the element <name> at `span` made another digit."""
    at = span[0] + len(name) + 2
    out = bytearray(data)
    out[at] = ord("5") if out[at] != ord("5") else ord("6")
    return bytes(out)


class RunsPass(unittest.TestCase):
    def test_every_run_passes(self):
        folders = sorted(d for d in os.listdir(RUNS) if os.path.isdir(os.path.join(RUNS, d)))
        self.assertIn(PLAIN, folders)
        for d in folders:
            code, out = run_checker(os.path.join(RUNS, d))
            self.assertEqual(code, 0, "%s: %s" % (d, out))
            self.assertTrue(out.startswith("journalcheck: OK"), out)

    def test_runs_that_ended_in_order_are_well_formed_xml(self):
        for d in sorted(os.listdir(RUNS)):
            folder = os.path.join(RUNS, d)
            if not os.path.isdir(folder) or os.path.exists(os.path.join(folder, "unclosed")):
                continue
            for name in ("L.xml", "S.xml"):
                r = subprocess.run(["xmllint", "--noout", os.path.join(folder, name)], capture_output=True, text=True)
                self.assertEqual(r.returncode, 0, "%s/%s: %s" % (d, name, r.stderr))

    def test_the_plain_run_has_every_signature_checked(self):
        code, out = run_checker(os.path.join(RUNS, PLAIN))
        self.assertEqual(out, "journalcheck: OK: 6 transactions (0 failed), 0 reports, 6 signatures verified")

    def test_the_lost_reply_is_a_failed_transaction_that_explains_the_gap(self):
        code, out = run_checker(os.path.join(RUNS, LOST_REPLY))
        self.assertEqual(out, "journalcheck: OK: 4 transactions (1 failed), 0 reports, 3 signatures verified")


class WrongCopiesFail(unittest.TestCase):
    def setUp(self):
        self.folder = os.path.join(RUNS, PLAIN)
        self.l, self.s = read(PLAIN, "L.xml"), read(PLAIN, "S.xml")

    def assertFails(self, out_code, file, offset, reason):
        code, out = out_code
        self.assertEqual(code, 1, out)
        m = re.match(r"journalcheck: FAIL (\S+) at byte (\d+) <([^>]*)>: (.*)", out)
        self.assertIsNotNone(m, out)
        self.assertEqual((m.group(1), int(m.group(2))), (file, offset), out)
        self.assertIn(reason, m.group(4), out)

    def test_a_changed_byte_of_a_signed_request_in_s(self):
        start, end = elements(self.s, b"transactionRequest")[2]
        inner = start + len(b"<transactionRequest>")
        request = bytearray(base64.b64decode(self.s[inner:end - len(b"</transactionRequest>")]))
        request[8] ^= 0x01  # the time field's minutes
        s = self.s[:inner] + base64.b64encode(bytes(request)) + self.s[end - len(b"</transactionRequest>"):]
        response = elements(s, b"transactionResponse")[2][0]
        self.assertFails(run_checker(self.folder, s_bytes=s), "S.xml", response, "does not verify")

    def test_a_changed_byte_of_a_signed_field_in_l(self):
        for name in (b"sig", b"time", b"seqNoTransaction", b"turnover"):
            start, end = elements(self.l, name)[3]
            at = start + len(name) + 2
            l = bytearray(self.l)
            l[at] = ord("5") if l[at] != ord("5") else ord("6")
            self.assertFails(run_checker(self.folder, l_bytes=bytes(l)), "L.xml", start, "the other journal gives")

    def test_a_transaction_removed_from_both_journals(self):
        ls, ss = elements(self.l, b"transaction"), elements(self.s, b"transactionEncoded")
        l = self.l[:ls[2][0]] + self.l[ls[2][1]:]
        s = self.s[:ss[2][0]] + self.s[ss[2][1]:]
        # The fourth transaction (now the third) follows the second: its number names the gap.
        seq = elements(l, b"seqNoTransaction")[2][0]
        self.assertFails(run_checker(self.folder, l_bytes=l, s_bytes=s), "L.xml", seq, "transaction number 4 follows 2")

    def test_a_transaction_removed_from_one_journal(self):
        ls = elements(self.l, b"transaction")
        l = self.l[:ls[5][0]] + self.l[ls[5][1]:]
        last = elements(self.s, b"transactionEncoded")[5][0]
        self.assertFails(run_checker(self.folder, l_bytes=l), "S.xml", last, "no counterpart in the L journal")

    def test_s_and_l_disagree(self):
        # Two transactions swapped in L only: the hash of the item list is the first to differ.
        ls = elements(self.l, b"transaction")
        a, b = self.l[ls[0][0]:ls[0][1]], self.l[ls[1][0]:ls[1][1]]
        l = self.l[:ls[0][0]] + b + a + self.l[ls[1][1]:]
        hash_at = elements(l, b"hashTransactionItems")[0][0]
        self.assertFails(run_checker(self.folder, l_bytes=l), "L.xml", hash_at, "SHA-1")
        # An item's amount in L that the encoded item list does not hold.
        l = self.l.replace(b"<price1>597</price1>", b"<price1>598</price1>", 1)
        item = self.l.rindex(b"<item>", 0, self.l.index(b"<price1>597</price1>"))
        self.assertFails(run_checker(self.folder, l_bytes=l), "L.xml", item, "item")

    def test_an_unclosed_pair_passes_only_when_allowed(self):
        l, s = self.l[:-len(b"</vantra>")], self.s[:-len(b"</vantra>")]
        code, out = run_checker(self.folder, l_bytes=l, s_bytes=s)
        self.assertEqual(code, 1, out)
        self.assertIn("ends inside <vantra>", out)
        code, out = run_checker(self.folder, l_bytes=l, s_bytes=s, unclosed=True)
        self.assertEqual(code, 0, out)
        # A half-written transaction is more than a missing close tag.
        cut = self.l.rindex(b"<sig>")
        code, out = run_checker(self.folder, l_bytes=self.l[:cut], s_bytes=s, unclosed=True)
        self.assertEqual(code, 1, out)
        self.assertIn("only </vantra> may be missing", out)


class CertificateAndVat(unittest.TestCase):
    def test_journals_naming_another_key_fail_at_the_first_signature(self):
        with tempfile.TemporaryDirectory(prefix="journalcheck-test-") as work:
            der = os.path.join(work, "other.der")
            subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime192v1",
                            "-nodes", "-keyout", os.path.join(work, "key.pem"), "-subj", "/CN=other", "-outform",
                            "DER", "-out", der], check=True, capture_output=True)
            with open(der, "rb") as f:
                other = base64.b64encode(f.read())
            l, s = read(PLAIN, "L.xml"), read(PLAIN, "S.xml")
            own = l[l.index(b"<certificate>") + 13:l.index(b"</certificate>")]
            l, s = l.replace(own, other), s.replace(own, other)
            args = [sys.executable, CHECKER]
            for name, data in (("L.xml", l), ("S.xml", s)):
                with open(os.path.join(work, name), "wb") as f:
                    f.write(data)
                args.append(os.path.join(work, name))
            out = subprocess.run(args, capture_output=True, text=True).stdout.strip()
            first = elements(s, b"transactionResponse")[0][0]
            self.assertTrue(out.startswith("journalcheck: FAIL S.xml at byte %d <vantra/transactionEncoded/"
                                           "transactionResponse>: the signature does not verify" % first), out)

    def test_a_vat_sum_that_the_items_do_not_give(self):
        # The refused sale has no signature; its containers are checked against its items alone.
        run = "ATransactionTheCardRefusesIsShownClosedAndTheNextOneSigns"
        l = read(run, "L.xml")
        at = l.index(b"<vat>95</vat>")
        code, out = run_checker(os.path.join(RUNS, run), l_bytes=l[:at] + b"<vat>97</vat>" + l[at + 13:])
        self.assertEqual(code, 1, out)
        container = l.rindex(b"<containerVat1>", 0, at)
        self.assertEqual(out, "journalcheck: FAIL L.xml at byte %d <vantra/transaction/containerVat1>: "
                              "VAT 97 where the items give 95.32 at 19.00 %%" % container)


class Reports(unittest.TestCase):
    RUN = "ACardActivatedAtTheStartHasItsReportsJournalledBeforeTheSales"

    def test_the_activation_report_and_the_refused_one_pass(self):
        code, out = run_checker(os.path.join(RUNS, self.RUN))
        self.assertEqual(out, "journalcheck: OK: 2 transactions (0 failed), 2 reports, 3 signatures verified")

    def test_a_changed_byte_of_a_signed_report_fails(self):
        folder = os.path.join(RUNS, self.RUN)
        l, s = read(self.RUN, "L.xml"), read(self.RUN, "S.xml")
        at = l.index(b"<lifeCycle>03</lifeCycle>")
        self.assertFails(run_checker(folder, l_bytes=l[:at] + b"<lifeCycle>02</lifeCycle>" + l[at + 25:]), "L.xml",
                         at, "lifeCycle")
        start, end = elements(s, b"reportRequest")[1]
        request = bytearray(base64.b64decode(s[start + 15:end - 16]))
        request[5] ^= 0x01  # the day of the date
        s = s[:start + 15] + base64.b64encode(bytes(request)) + s[end - 16:]
        self.assertFails(run_checker(folder, s_bytes=s), "S.xml", elements(s, b"reportResponse")[0][0],
                         "does not verify")

    assertFails = WrongCopiesFail.assertFails


class DebugHash(unittest.TestCase):
    RUN = "AKilledProgramLeavesEveryShownReceiptInBothJournals"

    def test_a_debug_hash_that_is_not_the_hash_of_the_signed_data_fails(self):
        # The field stands after the signature, so no signature covers it.
        s = read(self.RUN, "S.xml")
        start, end = elements(s, b"transactionResponse")[1]
        response = bytearray(base64.b64decode(s[start + 21:end - 22]))
        response[-1] ^= 0x01
        s = s[:start + 21] + base64.b64encode(bytes(response)) + s[end - 22:]
        code, out = run_checker(os.path.join(RUNS, self.RUN), s_bytes=s)
        self.assertEqual(out, "journalcheck: FAIL S.xml at byte %d <vantra/transactionEncoded/transactionResponse>: "
                              "the debug hash is not the SHA-1 of the signed data" % start)


class GapWithoutFailedExchange(unittest.TestCase):
    def test_the_lost_reply_run_without_its_failed_transaction_fails(self):
        l, s = read(LOST_REPLY, "L.xml"), read(LOST_REPLY, "S.xml")
        ls, ss = elements(l, b"transaction"), elements(s, b"transactionEncoded")
        l, s = l[:ls[1][0]] + l[ls[1][1]:], s[:ss[1][0]] + s[ss[1][1]:]
        seq = elements(l, b"seqNoTransaction")[1][0]
        code, out = run_checker(os.path.join(RUNS, LOST_REPLY), l_bytes=l, s_bytes=s)
        self.assertEqual(code, 1, out)
        self.assertEqual(out, "journalcheck: FAIL L.xml at byte %d <vantra/transaction/seqNoTransaction>: "
                              "transaction number 3 follows 1 (0 failed transactions between)" % seq)


class LongRun(unittest.TestCase):
    """490 receipts of mass runs and 10 reports between them; copies made wrong in the middle."""
    assertFails = WrongCopiesFail.assertFails

    def setUp(self):
        self.folder = os.path.join(RUNS, LONG)
        self.l, self.s = read(LONG, "L.xml"), read(LONG, "S.xml")

    def test_every_signature_and_number_checks(self):
        # Five signed daily reports and three period reports are signed; two daily ones are not.
        code, out = run_checker(self.folder)
        self.assertEqual(out, "journalcheck: OK: 490 transactions (0 failed), 10 reports, 498 signatures verified")

    def test_a_changed_byte_of_a_signed_field_in_s(self):
        # Transaction 300: the request's time; the signed report after the third run: its date.
        s = changed_base64(self.s, elements(self.s, b"transactionRequest")[299], b"transactionRequest", 8)
        self.assertFails(run_checker(self.folder, s_bytes=s), "S.xml", elements(s, b"transactionResponse")[299][0],
                         "does not verify")
        s = changed_base64(self.s, elements(self.s, b"reportRequest")[4], b"reportRequest", 5)
        self.assertFails(run_checker(self.folder, s_bytes=s), "S.xml", elements(s, b"reportResponse")[4][0],
                         "does not verify")
        # A byte of the card's answer itself: its transaction number.
        s = changed_base64(self.s, elements(self.s, b"transactionResponse")[299], b"transactionResponse", 25)
        self.assertFails(run_checker(self.folder, s_bytes=s), "S.xml", elements(s, b"transactionResponse")[299][0],
                         "does not verify")

    def test_a_changed_byte_of_a_signed_field_in_l(self):
        transaction = elements(self.l, b"transaction")[299]
        for name in (b"sig", b"time", b"seqNoTransaction", b"turnover"):
            span = elements(self.l, name, transaction)[0]
            self.assertFails(run_checker(self.folder, l_bytes=changed_digit(self.l, span, name)), "L.xml", span[0],
                             "the other journal gives")
        report = elements(self.l, b"report")[4]
        span = elements(self.l, b"sig", report)[0]
        self.assertFails(run_checker(self.folder, l_bytes=changed_digit(self.l, span, b"sig")), "L.xml", span[0],
                         "sig")

    def test_a_transaction_removed_from_both_journals(self):
        ls, ss = elements(self.l, b"transaction"), elements(self.s, b"transactionEncoded")
        l = self.l[:ls[250][0]] + self.l[ls[250][1]:]
        s = self.s[:ss[250][0]] + self.s[ss[250][1]:]
        seq = elements(l, b"seqNoTransaction", elements(l, b"transaction")[250])[0][0]
        self.assertFails(run_checker(self.folder, l_bytes=l, s_bytes=s), "L.xml", seq,
                         "transaction number 252 follows 250")

    def test_a_report_removed_from_both_journals(self):
        lr, sr = elements(self.l, b"report"), elements(self.s, b"reportEncoded")
        l = self.l[:lr[4][0]] + self.l[lr[4][1]:]
        s = self.s[:sr[4][0]] + self.s[sr[4][1]:]
        seq = elements(l, b"seqNoReport", elements(l, b"report")[4])[0][0]
        self.assertFails(run_checker(self.folder, l_bytes=l, s_bytes=s), "L.xml", seq, "report number 6 follows 4")

    def test_s_and_l_disagree(self):
        # Two receipts swapped in L only: the item list's hash is the first to differ.
        ls = elements(self.l, b"transaction")
        a, b = self.l[ls[400][0]:ls[400][1]], self.l[ls[401][0]:ls[401][1]]
        l = self.l[:ls[400][0]] + b + a + self.l[ls[401][1]:]
        hash_at = elements(l, b"hashTransactionItems")[400][0]
        self.assertFails(run_checker(self.folder, l_bytes=l), "L.xml", hash_at, "SHA-1")
        # A report's booked turnover in L that the card's answer does not give.
        report = elements(self.l, b"report")[8]
        container = elements(self.l, b"containerVat1", report)[0]
        span = elements(self.l, b"turnover", container)[0]
        self.assertFails(run_checker(self.folder, l_bytes=changed_digit(self.l, span, b"turnover")), "L.xml",
                         container[0], "containerVat1")


class ExportPair(unittest.TestCase):
    """The export pair that two runs of the program continued with the same card."""
    assertFails = WrongCopiesFail.assertFails

    def setUp(self):
        self.folder = os.path.join(RUNS, EXPORT)
        self.l, self.s = read(EXPORT, "L.xml"), read(EXPORT, "S.xml")

    def test_it_passes_as_an_export_pair(self):
        code, out = run_checker(self.folder)
        self.assertEqual(out, "journalcheck: OK: 6 transactions (0 failed), 3 reports, 8 signatures verified")
        # The card parameter block follows the first run's entries that brought it.
        code, out = run_checker(self.folder, export=False)
        self.assertEqual(out, "journalcheck: FAIL L.xml at byte 118 <vantra/transaction>: "
                              "an entry before the card parameter block")

    def test_a_transaction_of_the_second_run_removed(self):
        # The second run's first sale (number 4): the report after it counted it.
        ls, ss = elements(self.l, b"transaction"), elements(self.s, b"transactionEncoded")
        l = self.l[:ls[3][0]] + self.l[ls[3][1]:]
        s = self.s[:ss[3][0]] + self.s[ss[3][1]:]
        counter = elements(l, b"seqNoTransaction", elements(l, b"report")[1])[0][0]
        self.assertFails(run_checker(self.folder, l_bytes=l, s_bytes=s), "L.xml", counter,
                         "the card's transaction counter 4 after transaction 3")

    def test_a_changed_byte_of_a_signed_field_of_the_second_run(self):
        span = elements(self.l, b"sig", elements(self.l, b"transaction")[4])[0]
        self.assertFails(run_checker(self.folder, l_bytes=changed_digit(self.l, span, b"sig")), "L.xml", span[0],
                         "the other journal gives")


class CardGoneInAMassRun(unittest.TestCase):
    def test_the_entries_up_to_the_dropped_transaction_pass(self):
        # 40 signed, the 41st closed without request and response.
        code, out = run_checker(os.path.join(RUNS, CARD_GONE_IN_MASS_RUN))
        self.assertEqual(out, "journalcheck: OK: 41 transactions (1 failed), 0 reports, 40 signatures verified")


if __name__ == "__main__":
    RUNS = sys.argv.pop(1)
    with tempfile.TemporaryDirectory(prefix="journalcheck-test-") as cache_folder:
        CACHE = os.path.join(cache_folder, "confirmed")
        program = unittest.main(verbosity=2, exit=False)
        status = 0 if program.result.wasSuccessful() else 1
    sys.exit(status)
