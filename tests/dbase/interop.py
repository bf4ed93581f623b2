#!/usr/bin/env python3
"""Independent xBase readers and writers for the table store's interop tests.

  interop.py read TABLE          print every record with dbfread, one
                                 "NAME=value" line per field, "--" between
                                 records (code page 437 text, memo values
                                 as dbfread returns them)
  interop.py write3 DIR          write plain.dbf (dBase III, 03) and
                                 memo.dbf (dBase III with memo, 83) with
                                 the python dbf package
  interop.py write3address DIR   write address3.dbf (dBase III with memo)
                                 with the fields of an address table
"""
import datetime
import os
import sys


def read(path):
    import dbfread
    table = dbfread.DBF(path, encoding="cp437", char_decode_errors="strict")
    print("COUNT=%d" % len(table))
    for rec in table:
        print("--")
        for name, value in rec.items():
            if isinstance(value, bytes):
                value = value.decode("cp437")
            if isinstance(value, str):
                value = value.replace("\r", "\\r").replace("\n", "\\n")
            print("%s=%s" % (name, value))


def write3(folder):
    import dbf
    plain = dbf.Table(os.path.join(folder, "plain.dbf"),
                      "name C(20); amount N(8,2); day D; ok L",
                      dbf_type="db3", codepage="cp437")
    plain.open(dbf.READ_WRITE)
    plain.append(("M\u00fcller", 12.5, datetime.date(2024, 2, 29), True))
    plain.append(("Smith", -3, None, False))
    plain.close()
    memo = dbf.Table(os.path.join(folder, "memo.dbf"),
                     "name C(10); address M",
                     dbf_type="db3", codepage="cp437")
    memo.open(dbf.READ_WRITE)
    memo.append(("Ann", "12 Main St\r\nSpringfield"))
    memo.append(("Bob", ""))
    memo.append(("Cy", "One line"))
    memo.close()


def write3address(folder):
    import dbf
    table = dbf.Table(os.path.join(folder, "address3.dbf"),
                      "address M; city C(20); state C(2); zip C(10)",
                      dbf_type="db3", codepage="cp437")
    table.open(dbf.READ_WRITE)
    table.append(("Ann Lee\r\n1 Elm St\r\nApt 2", "Dover", "DE", "19901"))
    table.append(("J\u00fcrgen Roe", "Ames", "IA", "50010-1234"))
    table.close()


if __name__ == "__main__":
    if sys.argv[1] == "read":
        read(sys.argv[2])
    elif sys.argv[1] == "write3":
        write3(sys.argv[2])
    elif sys.argv[1] == "write3address":
        write3address(sys.argv[2])
    else:
        sys.exit("unknown command")
