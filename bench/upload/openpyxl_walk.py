#!/usr/bin/python3
"""Walks the rows of a workbook's first sheet with openpyxl in read-only mode, the plain way a user would
time it from a shell (interpreter start and imports included)."""
import sys

import openpyxl

sheet = openpyxl.load_workbook(sys.argv[1], read_only=True).worksheets[0]
for row in sheet.iter_rows(values_only=True):
    pass
