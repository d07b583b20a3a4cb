#!/usr/bin/python3
"""Writes the upload benchmark's input files into the folder given as the only argument (made once).

days100k.xlsx  100,000 data rows of date cells and numeric flags, by xlsxwriter
days100k-openpyxl.xlsx  the same rows, by openpyxl (inline strings, no shared-strings part)
days10k.xls    10,000 data rows of date cells and numeric flags, by xlwt
days1m.csv     1,000,000 lines of GBK text with CRLF line breaks: a header and date,flag lines
"""
import datetime
import os
import sys

import openpyxl
import xlsxwriter
import xlwt
from openpyxl.cell import WriteOnlyCell

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
start = datetime.date(2000, 1, 1)


def day(i):
    return start + datetime.timedelta(days=i % 36500)


def flag(i):
    return 0 if day(i).weekday() >= 5 else 1


path = os.path.join(out, 'days100k.xlsx')
if not os.path.exists(path):
    wb = xlsxwriter.Workbook(path + '.part')
    ws = wb.add_worksheet('交易日')
    dates = wb.add_format({'num_format': 'yyyy-mm-dd'})
    ws.write_row(0, 0, ['日期', '是否交易日'])
    for i in range(100000):
        ws.write_datetime(i + 1, 0, datetime.datetime.combine(day(i), datetime.time()), dates)
        ws.write_number(i + 1, 1, flag(i))
    wb.close()
    os.rename(path + '.part', path)

path = os.path.join(out, 'days100k-openpyxl.xlsx')
if not os.path.exists(path):
    wb = openpyxl.Workbook(write_only=True)
    ws = wb.create_sheet('交易日')
    ws.append(['日期', '是否交易日'])
    for i in range(100000):
        date = WriteOnlyCell(ws, value=day(i))
        date.number_format = 'yyyy-mm-dd'
        ws.append([date, flag(i)])
    wb.save(path + '.part')
    os.rename(path + '.part', path)

path = os.path.join(out, 'days10k.xls')
if not os.path.exists(path):
    wb = xlwt.Workbook(encoding='utf-8')
    ws = wb.add_sheet('交易日')
    dates = xlwt.easyxf(num_format_str='yyyy-mm-dd')
    ws.write(0, 0, '日期')
    ws.write(0, 1, '是否交易日')
    for i in range(10000):
        ws.write(i + 1, 0, day(i), dates)
        ws.write(i + 1, 1, flag(i))
    wb.save(path + '.part')
    os.rename(path + '.part', path)

path = os.path.join(out, 'days1m.csv')
if not os.path.exists(path):
    lines = ['日期,是否交易日'] + ['%s,%d' % (day(i).isoformat(), flag(i)) for i in range(999999)]
    with open(path + '.part', 'wb') as f:
        f.write(('\r\n'.join(lines)).encode('gbk'))
    os.rename(path + '.part', path)
