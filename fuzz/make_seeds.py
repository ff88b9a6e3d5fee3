#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/,
and the inputs that once broke a target into fuzz/crashes/<target>/.

Each seed is a small, sound input in the shape its target reads, written by
hand here so that the fuzzer starts from files the program itself would write.
Run from anywhere; it replaces the seeds it makes and keeps any others.
The tests replay both folders through every target.
"""
import os
import struct
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")


def cp(text):
    return text.encode("cp1250")


def counted(text, capacity):
    raw = cp(text)[:capacity]
    return bytes([len(raw)]) + raw + bytes(capacity - len(raw))


def seed(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def crash(target, name, data):
    folder = os.path.join(HERE, "crashes", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def small(text, limit=255):
    raw = text if isinstance(text, bytes) else cp(text)
    raw = raw[:limit]
    return bytes([len(raw)]) + raw


def company():
    lines = ["Biuro Rachunkowe Zięba", "ul. Długa 5", "00-950 Łódź", "NIP 123-456-78-90",
             "Bank Śląski", "12 1050 0000 1234 5678 9012 3456"]
    record = b"".join(counted(line, 50) for line in lines)
    seed("company_record", "company", record)
    seed("company_record", "empty", bytes(306))
    seed("company_record", "short", record[:120])
    seed("company_record", "long_length_byte", b"\xff" + record[1:] + b"tail")


def history():
    seed("run_history", "history", counted("07/12/2026", 15) + counted("10:15:00", 15) + counted("41", 15) + bytes(31))
    seed("run_history", "odd_count", counted("01/01/2020", 15) + counted("8:00", 15) + counted("  -12a", 15) + b"\x01" * 31)
    seed("run_history", "zeros", bytes(79))


def companion_config():
    fields = [(0, "/home/biuro/Wirtello/"), (3, "/home/biuro/Wirtello/Admini/*.*"),
              (9, "/home/biuro/Wirtello/Notatki/*.*"), (51, "/home/biuro/Wirtello")]
    patches = b"".join(bytes([index]) + small(counted(text, 200)[: 1 + len(cp(text))]) for index, text in fields)
    seed("companion_config", "reader", b"\x01" + bytes([len(fields)]) + patches + b"\x02")
    seed("companion_config", "reader_short", b"\x01\x00\x00\x10\x27")
    seed("companion_config", "writer", b"\x00" + small("Wirtello ąę") + b"\xff\x07\x0f\x00")


def print_font():
    record = struct.pack("<i", 0x00000080) + counted("Arial", 60) + bytes(3) + struct.pack("<i", 12) + b"\x03" + bytes(3)
    seed("print_font", "unchanged", b"\x00\x00\x00" + record)
    seed("print_font", "chosen", b"\x01\x00\x00" + record + b"\x00\x00\xff\x00\x0a\x00\x00\x00\x05" + small("Times New Roman"))
    seed("print_font", "no_face", b"\x00\x00\x00" + bytes(76))
    seed("print_font", "short", b"\x00\xff\x20" + record[:32])


def network_mode():
    local = counted("/home/biuro/Wirtello", 200)
    network = counted("/mnt/serwer/Wirtello", 200)
    seed("network_mode", "local", b"\x00\x01" + local + network)
    seed("network_mode", "network", b"\x00\x02" + local + network)
    seed("network_mode", "this_folder", b"\x01\x01" + local + network)
    seed("network_mode", "empty_network", b"\x00\x02" + local + bytes(201))


def update_info():
    seed("update_info", "up_to_date", cp("1.19\r\nk\r\nhttp://www.example.com/pobierz\r\n"))
    seed("update_info", "free", cp("1.19\nd\nNowa wersja bezpłatna"))
    seed("update_info", "paid", cp("2.0\rx\r\r"))


def command_line():
    seed("command_line", "arbitrary", b"\x00" + b'prog.exe a "b c" d\\"e \\\\" "x""y"')
    seed("command_line", "quoted", b"\x01" + small('C:\\Program Files\\a.exe') + b"\x01" + small('ends with \\') + b"\x00" + small('"q"'))
    seed("command_line", "companion_notes", b"\x02\x01" + small("007 Kowalski \"Jan\"") + small("Jan") + small("Kowalski") + small("jan@example.com") + small("A") + small("B") + small("ul. C\\") + small("D"))
    seed("command_line", "companion_mail", b"\x02\x06" + small("007 Nowak") + small("") + small("") + small("a@b.pl " * 30))
    seed("command_line", "companion_calendar", b"\x02\x04" + small("123 Zięba") + small("Ewa") + small("Zięba") + small("") + small("Ewa") + small("Zięba") + small("Długa 5") + small("Łódź"))


def envelope():
    def settings():
        sender = [counted(t, 80) for t in ["Biuro Zięba", "ul. Długa 5", "00-950 Łódź", ""]]
        left = [counted(t, 5) for t in ["50", "100", "150", "200"]]
        top = [counted(t, 5) for t in ["50", "100", "150", "200"]]
        return b"".join(sender + left + top) + counted("5", 5) + counted("5", 50) + counted("5", 50) + b"\x00"
    logo = counted("/home/biuro/Wirtello/LOGO/Chmury.jpg", 230) + counted("10", 5) + counted("10", 5)
    choice = b"\x02\x01\x00"
    forma = counted("Szanowny Pan", 20)
    for kind, name, data in [(0, "settings", settings()), (1, "logo", logo), (2, "forma", forma),
                             (3, "choice", choice), (4, "profile", settings() + logo + choice),
                             (3, "odd_choice", b"\x07\x05\x01")]:
        seed("envelope_records", name, bytes([kind]) + struct.pack("<H", len(data)) + data + b"\x02\x01\x00")


def typed_number():
    for name, text in [("decimal", "50"), ("hex", "$FF"), ("negative_hex", "-0x10"), ("stops", " 7a"),
                       ("limit", "-2147483648"), ("blank", "  ")]:
        seed("typed_number", name, cp(text))


def numbering():
    seed("numbering_file", "numbering", struct.pack("<i", 41) + counted("2026", 10))
    seed("numbering_file", "fresh", struct.pack("<i", 1) + bytes(11))
    seed("numbering_file", "last", struct.pack("<i", 0x7FFFFFFE) + counted("KP", 10))
    seed("numbering_file", "damaged", struct.pack("<i", -5) + b"\x0b" + b"x" * 10)


def cash_document():
    descriptions = ["Wpłata za fakturę 12/2026", "Zaliczka", ""] + [""] * 7
    amounts = ["  123.45", "1,5", "abc"] + [""] * 7
    record = b"".join(counted(t, 200) for t in descriptions + amounts)
    seed("cash_document_file", "document", record)
    seed("cash_document_file", "empty", bytes(4020))
    seed("cash_document_file", "short", record[:1000])


def cash_amount():
    cells = ["12.50", " 1,5", "-0.005", "999999999999999.99", "1.2.3", "", "  ", ".5", "0.125", "abc"]
    seed("cash_amount", "cells", b"".join(small(c) for c in cells))
    seed("cash_amount", "too_large", small("1234567890123456") + small("1"))


def text_lines():
    seed("text_lines", "crlf", cp("Wpłata gotówki\r\nZwrot zaliczki\r\n"))
    seed("text_lines", "mixed", cp("a\nb\rc\r\n\r\nlast"))
    seed("text_lines", "empty", b"")


def comment_log():
    header = "WIRTELLO-KOMENTARZE 1\n"
    seed("comment_log", "two", (header + "2026-12-07 17:05:00\tjkowalski\tOddzwonić.\\nPani Łęcka\n"
                                 "2026-12-01 09:00:00\tanowak\tŻółć \\t\\\\ \\r\n").encode("utf-8"))
    seed("comment_log", "empty", b"")


def contact_database():
    def patch(slot, field, raw):
        return struct.pack("<H", slot) + bytes([field]) + bytes([len(raw)]) + raw
    display = [(0, b"\x0c000 Kowalski"), (1, b"\x0a001 Nowak"), (3, b"\x0d003 Zi\xeaba Ewa")]
    patches = [patch(slot, 0, raw) for slot, raw in display]
    patches += [patch(0, 1, b"\x03000"), patch(0, 2, b"\x03Jan"), patch(3, 9, b"\x0bewa@test.pl")]
    files = b"\x04" + struct.pack("<i", 4) + bytes([len(patches)]) + b"".join(patches) + b"\x02"
    ops = b"\x00" + small("Wiśniewska") + b"\x01\x01\x00" + small("Nowak Adam") + b"\x02\x00\x00" + b"\x03\x01\x00\x04" + small("+48 600 000 000")
    seed("contact_database", "book", files + ops)
    seed("contact_database", "empty_book", b"\x04" + struct.pack("<i", 0) + b"\x00\x02" + b"\x00" + small("Pierwszy"))
    seed("contact_database", "odd_ids", b"\x04" + struct.pack("<i", 999) + b"\x01" + patch(500, 0, b"\x05\xb9\xea\x9c x") + b"\x02\x01\x00\x00" + small("inna") + b"\x00" + small("ostatni"))
    seed("contact_database", "short", b"\x04" + struct.pack("<i", 0) + b"\x00\x00\x10\x00")


def jpeg():
    with tempfile.TemporaryDirectory() as work:
        def convert(name, *args):
            path = os.path.join(work, name)
            subprocess.run(["convert", *args, "-strip", path], check=True)
            with open(path, "rb") as f:
                return f.read()
        seed("jpeg", "baseline", convert("a.jpg", "-size", "16x12", "gradient:red-blue", "-quality", "50"))
        seed("jpeg", "progressive", convert("b.jpg", "-size", "24x8", "plasma:fractal", "-seed", "1", "-interlace", "JPEG", "-quality", "40"))
        seed("jpeg", "gray", convert("c.jpg", "-size", "9x9", "gradient:", "-colorspace", "Gray", "-quality", "50"))
        seed("jpeg", "cmyk", convert("d.jpg", "-size", "8x8", "xc:orange", "-colorspace", "CMYK", "-quality", "50"))
        seed("jpeg", "subsampled", convert("e.jpg", "-size", "33x17", "gradient:green-yellow", "-sampling-factor", "2x2", "-quality", "30"))
        plain = convert("f.jpg", "-size", "20x10", "gradient:white-black", "-quality", "40")
        # An Exif block saying the camera was turned a quarter (orientation 6).
        tiff = b"MM\x00\x2a\x00\x00\x00\x08" + b"\x00\x01" + b"\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00" + b"\x00\x00\x00\x00"
        payload = b"Exif\x00\x00" + tiff
        app1 = b"\xff\xe1" + struct.pack(">H", len(payload) + 2) + payload
        seed("jpeg", "rotated", plain[:2] + app1 + plain[2:])


def jpeg_segments(data):
    """(marker, start, end) of each segment after the start marker; a scan's
    end includes its coded data."""
    segments = []
    i = 2
    while i + 4 <= len(data) and data[i] == 0xFF:
        marker = data[i + 1]
        if marker == 0xD9:
            break
        end = i + 2 + struct.unpack(">H", data[i + 2:i + 4])[0]
        if marker == 0xDA:
            while end + 1 < len(data) and not (data[end] == 0xFF and data[end + 1] not in (0x00, *range(0xD0, 0xD8))):
                end += 1
        segments.append((marker, i, end))
        i = end
    return segments


def with_scans(data, count):
    """The picture with its last scan repeated up to `count` scans, as hostile
    files do: libjpeg reads every repeat over the whole picture again."""
    scans = [(start, end) for marker, start, end in jpeg_segments(data) if marker == 0xDA]
    start, end = scans[-1]
    return data[:end] + data[start:end] * (count - len(scans)) + data[end:]


def claiming(data, width, height):
    """The picture with its frame header claiming another size."""
    for marker, start, _ in jpeg_segments(data):
        if marker in (0xC0, 0xC1, 0xC2):
            return data[:start + 5] + struct.pack(">HH", height, width) + data[start + 9:]
    raise ValueError("no frame header")


def hostile():
    """Inputs that once held the program up or broke a target's property."""
    with open(os.path.join(CORPUS, "jpeg", "progressive"), "rb") as f:
        progressive = f.read()
    seed("jpeg", "many_scans", with_scans(progressive, 310))
    crash("jpeg", "huge_in_many_scans", claiming(with_scans(progressive, 870), 8000, 8000))
    # A record brought over from Windows naming a share as the local folder.
    crash("network_mode", "windows_share",
          b"\x00\x01" + counted("\\\\serwer\\biuro", 200) + counted("/mnt/serwer/Wirtello", 200))


def document_register():
    header = "Rejestr dokumentów 1\n"
    seed("document_register", "two", (header + "2026-12-07\tprzychodzący\tKP/12/2026\tFaktura\tZapłacić do\\npiątku\tDokumenty/faktura.pdf\n"
                                        "2026-01-31\twychodzący\t\tPismo \\t\\\\ \\r\t\t/home/biuro/pismo Łęcka.odt\n").encode("utf-8"))
    seed("document_register", "crlf", (header.replace("\n", "\r\n") + "2024-02-29\twychodzący\tA\tB\tC\tD\r\n").encode("utf-8"))
    seed("document_register", "empty", b"")


def calendar_file():
    def ics(*entries, zone=True):
        lines = ["BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Wirtello//Kalendarz//PL", "X-WR-CALNAME:Zięba Ewa",
                 "X-WIRTELLO-ADDRESS:ul. Długa 5\\, Łódź"]
        if zone:
            lines += ["BEGIN:VTIMEZONE", "TZID:Europe/Warsaw", "BEGIN:STANDARD", "DTSTART:19701025T030000",
                      "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU", "TZOFFSETFROM:+0200", "TZOFFSETTO:+0100",
                      "TZNAME:CET", "END:STANDARD", "BEGIN:DAYLIGHT", "DTSTART:19700329T020000",
                      "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU", "TZOFFSETFROM:+0100", "TZOFFSETTO:+0200",
                      "TZNAME:CEST", "END:DAYLIGHT", "END:VTIMEZONE"]
        for entry in entries:
            lines += entry
        lines.append("END:VCALENDAR")
        return ("\r\n".join(lines) + "\r\n").encode("utf-8")
    task = ["BEGIN:VTODO", "UID:1@wirtello", "SUMMARY:Oddzwonić do pani Łęckiej", "DUE;TZID=Europe/Warsaw:20261207T090500",
            "PRIORITY:1", "DESCRIPTION:w sprawie\\nfaktury", "STATUS:NEEDS-ACTION", "END:VTODO"]
    done = ["BEGIN:VTODO", "UID:2@wirtello", "SUMMARY:Cały dzień", "DUE;VALUE=DATE:20260329", "STATUS:COMPLETED",
            "COMPLETED:20260330T100000Z", "END:VTODO"]
    weekly = ["BEGIN:VEVENT", "UID:3@wirtello", "SUMMARY:Narada", "LOCATION:Sala 2", "X-WIRTELLO-CONTACT:007",
              "DTSTART;TZID=Europe/Warsaw:20260320T090000", "DTEND;TZID=Europe/Warsaw:20260320T103000",
              "RRULE:FREQ=WEEKLY;BYDAY=FR;COUNT=10", "BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:Narada",
              "TRIGGER:-PT15M", "END:VALARM", "END:VEVENT"]
    monthly = ["BEGIN:VEVENT", "UID:4@wirtello", "SUMMARY:Ostatni dzień miesiąca", "DTSTART;VALUE=DATE:20260131",
               "DTEND;VALUE=DATE:20260201", "RRULE:FREQ=MONTHLY;BYMONTHDAY=-1;UNTIL=20271231", "END:VEVENT"]
    utc = ["BEGIN:VEVENT", "UID:5@wirtello", "SUMMARY:Spotkanie online", "DTSTART:20261025T003000Z",
           "DURATION:PT2H", "RRULE:FREQ=DAILY;INTERVAL=3", "END:VEVENT"]
    seed("calendar_file", "tasks", ics(task, done))
    seed("calendar_file", "appointments", ics(weekly, monthly, utc))
    seed("calendar_file", "no_zone", ics(["BEGIN:VEVENT", "UID:6", "DTSTART:20260101T120000", "RRULE:FREQ=MINUTELY;INTERVAL=90",
                                          "END:VEVENT"], ["BEGIN:VJOURNAL", "UID:7", "END:VJOURNAL"], zone=False))
    seed("calendar_file", "empty", b"")
    # libical gave the start twice, so the day showed the appointment twice.
    crash("calendar_file", "hourly_start_twice", ics(["BEGIN:VEVENT", "UID:8", "DTSTART:20260101T120000",
                                                      "RRULE:FREQ=HOURLY;BYHOUR=8,12", "END:VEVENT"], zone=False))


def zip_entry_name():
    seed("zip_entry_name", "cp852", b"Faktury/\xa5\xa9\x88\xe4 \xbe\xa2\x9d.pdf")
    seed("zip_entry_name", "utf8", "Umowy/Łęcka żółw.odt".encode("utf-8"))
    seed("zip_entry_name", "cp437", b"box\xc9\xcd\xbb\\\x80\xff.txt")
    seed("zip_entry_name", "ascii", b"Wirtello/Dane/kontakty.dat")


if __name__ == "__main__":
    for make in [company, history, companion_config, print_font, network_mode, update_info, command_line,
                 envelope, typed_number, numbering, cash_document, cash_amount, text_lines, comment_log,
                 contact_database, jpeg, document_register, calendar_file, zip_entry_name, hostile]:
        make()
