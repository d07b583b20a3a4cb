#!/usr/bin/python3
"""Writes the trading-day test files into the folder given as the only argument.

Workbooks come from python3-xlsxwriter, openpyxl, xlwt and LibreOffice; the pitfalls that those tools
never write (no cell references, strict namespaces, lying ZIP headers, DTDs) are packaged by hand.
"""
import datetime
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile
from xml.sax.saxutils import escape

import openpyxl
import xlsxwriter
import xlwt
import xlwt.CompoundDoc

OUT = sys.argv[1]
os.makedirs(OUT, exist_ok=True)


def out(name):
    return os.path.join(OUT, name)


# ---------------------------------------------------------------- workbooks made by libraries

def xlsxwriter_dates():
    wb = xlsxwriter.Workbook(out('dates.xlsx'))
    ws = wb.add_worksheet('交易日')
    iso = wb.add_format({'num_format': 'yyyy-mm-dd'})
    builtin14 = wb.add_format({'num_format': 14})
    chinese31 = wb.add_format({'num_format': 31})
    custom = wb.add_format({'num_format': 'yyyy"年"m"月"d"日"'})
    slashes = wb.add_format({'num_format': 'yyyy/m/d;@'})
    ws.write_string(0, 0, '日期')
    ws.write_string(0, 1, '是否交易日')
    ws.write_datetime(1, 0, datetime.datetime(2024, 1, 2), iso)
    ws.write_number(1, 1, 1)
    ws.write_datetime(2, 0, datetime.datetime(2024, 1, 3), builtin14)
    ws.write_number(2, 1, 0)
    ws.write_datetime(3, 0, datetime.datetime(2024, 2, 29), chinese31)
    ws.write_number(3, 1, 1.0)
    ws.write_datetime(4, 0, datetime.datetime(2100, 3, 1), custom)
    ws.write_number(4, 1, 1)
    ws.write_number(5, 0, 45311.999999999, slashes)
    ws.write_number(5, 1, 2.5)
    ws.write_datetime(6, 0, datetime.datetime(9999, 12, 31), iso)
    ws.write_boolean(6, 1, True)
    wb.add_worksheet('其他').write_string(0, 0, 'not the first tab')
    wb.close()


def xlsxwriter_1904():
    wb = xlsxwriter.Workbook(out('date1904.xlsx'), {'date_1904': True})
    ws = wb.add_worksheet()
    iso = wb.add_format({'num_format': 'yyyy-mm-dd'})
    ws.write_row(0, 0, ['date', 'flag'])
    ws.write_datetime(1, 0, datetime.datetime(2024, 1, 2), iso)
    ws.write_number(1, 1, 1)
    ws.write_datetime(2, 0, datetime.datetime(1904, 1, 1), iso)
    ws.write_number(2, 1, 0)
    ws.write_number(3, 0, 2957004, iso)  # after 9999-12-31 in the 1904 system: stays a number
    wb.close()


def xlsxwriter_inline_and_rich():
    # constant_memory makes xlsxwriter write inline strings instead of shared ones.
    wb = xlsxwriter.Workbook(out('inline.xlsx'), {'constant_memory': True})
    ws = wb.add_worksheet()
    bold = wb.add_format({'bold': True})
    ws.write_string(0, 0, '日期')
    ws.write_string(0, 1, 'a_x0041_b')
    ws.write_string(1, 0, '2024-01-02')
    ws.write_number(1, 1, 1)
    ws.write_formula(2, 0, '="2024"&"-01-03"', None, '2024-01-03')
    ws.write_formula(2, 1, '=1*1', None, 1)
    wb.close()
    wb = xlsxwriter.Workbook(out('rich.xlsx'))
    ws = wb.add_worksheet()
    bold = wb.add_format({'bold': True})
    ws.write_rich_string(0, 0, '交易', bold, '日期', ' 表')
    ws.write_string(0, 1, 'flag')
    wb.close()


def xlsxwriter_shapes():
    wb = xlsxwriter.Workbook(out('header_only.xlsx'))
    wb.add_worksheet().write_row(0, 0, ['日期', '是否交易日'])
    wb.close()
    wb = xlsxwriter.Workbook(out('three_columns.xlsx'))
    ws = wb.add_worksheet()
    ws.write_row(0, 0, ['日期', '是否交易日', '备注'])
    ws.write_row(1, 0, ['2024-01-02', 1, 'x'])
    wb.close()
    wb = xlsxwriter.Workbook(out('accents.xlsx'))
    ws = wb.add_worksheet()
    ws.write_row(0, 0, ['Date', 'Ouvré'])
    ws.write_row(1, 0, ['Férié', 1])
    ws.write_row(2, 0, ['2024-01-02', 1])
    wb.close()
    wb = xlsxwriter.Workbook(out('gaps_lib.xlsx'))
    ws = wb.add_worksheet()
    ws.write_string(2, 1, 'head')   # B3
    ws.write_string(2, 3, 'tail')   # D3
    ws.write_number(5, 2, 7)        # C6
    wb.close()


def openpyxl_reordered():
    wb = openpyxl.Workbook()
    wb.active.title = 'later'
    wb.active['A1'] = 'second tab'
    first = wb.create_sheet('first')
    first['A1'] = '日期'
    first['B1'] = '是否交易日'
    first['A2'] = '2024-01-02'
    first['B2'] = 1
    wb.move_sheet('first', offset=-1)
    wb.save(out('reordered.xlsx'))


def xlwt_book(path, rows, formats=None):
    wb = xlwt.Workbook(encoding='utf-8')
    ws = wb.add_sheet('交易日')
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            if value is None:
                continue
            style = formats.get((r, c)) if formats else None
            if style is not None:
                ws.write(r, c, value, style)
            else:
                ws.write(r, c, value)
    wb.add_sheet('other').write(0, 0, 'not the first tab')
    wb.save(path)
    return wb


def xlwt_books():
    iso = xlwt.easyxf(num_format_str='yyyy-mm-dd')
    chinese = xlwt.easyxf(num_format_str='yyyy"年"m"月"d"日"')
    rows = [['日期', '是否交易日'],
            [datetime.date(2024, 1, 2), 1],
            [datetime.date(2024, 1, 3), 0],
            [datetime.date(2100, 3, 1), 1],
            [datetime.date(9999, 12, 31), 2.5],
            [datetime.date(2024, 2, 29), True],
            [None, None],
            ['tail', 123456789]]
    formats = {(1, 0): iso, (2, 0): iso, (3, 0): chinese, (4, 0): iso, (5, 0): chinese}
    dates = xlwt_book(out('dates.xls'), rows, formats)
    stamp = xlwt.easyxf(num_format_str='yyyy-mm-dd hh:mm')
    xlwt_book(out('datetime.xls'), [[datetime.datetime(2024, 1, 2, 10, 30)]], {(0, 0): stamp})
    # Enough distinct strings that the shared string table runs on into CONTINUE records.
    strings = [['字符串%d-%s' % (i, 'x' * (i % 50))] for i in range(3000)]
    strings = xlwt_book(out('strings.xls'), strings)
    # The same workbooks in 4096-byte sectors; the small one lies in the mini stream, after the summary
    # information (an empty property set) that Excel writes first.
    summary = b'\xfe\xff\0\0\x06\x02\x02\0' + b'\0' * 20
    compound_file(out('dates_4096.xls'), [('\x05SummaryInformation', summary), ('Workbook', dates.get_biff_data())],
                  12)
    compound_file(out('strings_4096.xls'), [('Workbook', strings.get_biff_data())], 12)
    large_xls()
    # An encrypted workbook: the WINDOWPROTECT record (same length) becomes a FILEPASS record.
    wb = xlwt.Workbook()
    wb.add_sheet('s').write(0, 0, 'secret')
    data = wb.get_biff_data()
    marker = data.find(b'\x19\x00\x02\x00')
    assert marker > 0
    data = data[:marker] + b'\x2f\x00\x02\x00' + data[marker + 4:]
    xlwt.CompoundDoc.XlsDoc().save(out('password.xls'), data)


def compound_file(path, streams, sector_shift):
    """Writes a compound file holding streams (name, bytes) in sectors of 1 << sector_shift bytes
    (version 3 for 512, version 4 for 4096). Streams under 4096 bytes go into the mini stream."""
    size, free, end, fat_sector = 1 << sector_shift, 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD
    sectors, fat = [], []

    def place(data):
        if not data:
            return end
        first, count = len(sectors), -(-len(data) // size)
        for i in range(count):
            sectors.append(data[i * size:(i + 1) * size].ljust(size, b'\0'))
            fat.append(first + i + 1 if i + 1 < count else end)
        return first

    def entry(name, kind, child, right, start, length):
        encoded = (name + '\0').encode('utf-16-le') if name else b''
        return struct.pack('<64sHBBIII16sIQQIQ', encoded, len(encoded), kind, 1, free, right, child,
                           b'\0' * 16, 0, 0, 0, start, length)

    mini, mini_fat, placed = b'', [], []
    for name, data in streams:
        if len(data) < 4096:
            first, units = len(mini) // 64, -(-len(data) // 64)
            mini_fat += [first + i + 1 for i in range(units - 1)] + [end]
            mini += data.ljust(units * 64, b'\0')
        else:
            first = place(data)
        placed.append((name, first, len(data)))
    root_start = place(mini)
    mini_fat_start = place(struct.pack('<%dI' % len(mini_fat), *mini_fat))
    # The streams hang off the root as a chain of right siblings, in the order the format compares names.
    order = sorted(range(len(placed)), key=lambda i: (len(placed[i][0]), placed[i][0].upper()))
    following = {a: b + 1 for a, b in zip(order, order[1:])}
    directory = entry('Root Entry', 5, order[0] + 1, free, root_start, len(mini))
    for i, (name, first, length) in enumerate(placed):
        directory += entry(name, 2, free, following.get(i, free), first, length)
    directory += entry('', 0, free, free, 0, 0) * (-(len(directory) // 128) % (size // 128))
    directory_start = place(directory)
    fat_count = 0
    while fat_count * size // 4 < len(sectors) + fat_count:
        fat_count += 1
    difat = list(range(len(sectors), len(sectors) + fat_count))
    fat += [fat_sector] * fat_count
    fat += [free] * (fat_count * size // 4 - len(fat))
    place(struct.pack('<%dI' % len(fat), *fat))
    header = struct.pack('<8s16sHHHHH6sIIIIIIIII', b'\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1', b'\0' * 16, 0x3E,
                         4 if sector_shift == 12 else 3, 0xFFFE, sector_shift, 6, b'\0' * 6,
                         len(directory) // size if sector_shift == 12 else 0, fat_count, directory_start, 0,
                         4096, mini_fat_start, -(-len(mini_fat) * 4 // size), end, 0)
    header += struct.pack('<109I', *(difat + [free] * (109 - fat_count)))
    with open(path, 'wb') as f:
        f.write(header.ljust(size, b'\0') + b''.join(sectors))


def large_xls():
    """16 MB: the compound file needs 252 FAT sectors, more than the header lists (109); the others are
    listed in a chain of two DIFAT sectors. A date, a flag and a long note per row, from 1990-01-01 on."""
    iso = xlwt.easyxf(num_format_str='yyyy-mm-dd')
    wb = xlwt.Workbook(encoding='utf-8')
    ws = wb.add_sheet('交易日')
    for column, title in enumerate(['日期', '是否交易日', '备注']):
        ws.write(0, column, title)
    first = datetime.date(1990, 1, 1)
    for row in range(1, 60001):
        day = first + datetime.timedelta(days=row - 1)
        ws.write(row, 0, day, iso)
        ws.write(row, 1, 1 if day.weekday() < 5 else 0)
        ws.write(row, 2, '第%d行%s' % (row, '注' * 100))
    wb.save(out('large.xls'))


def libreoffice_books():
    """.xls written by LibreOffice (BIFF8 with East-Asian built-in date formats), and OpenDocument
    sheets behind .xlsx names that only the spreadsheet application reads. Their used range starts at
    B3 and ends on a trading day; in ods_comma.xlsx the date cell of the third used row holds a comma."""
    soffice = shutil.which('soffice')
    if not soffice:
        return
    with tempfile.TemporaryDirectory() as work:
        def book(name, rows, formats=None, first_row=0, first_col=0):
            wb = xlsxwriter.Workbook(os.path.join(work, name))
            ws = wb.add_worksheet()
            for r, row in enumerate(rows):
                for c, value in enumerate(row):
                    style = wb.add_format({'num_format': formats[c]}) if formats and r else None
                    if isinstance(value, datetime.date):
                        ws.write_datetime(first_row + r, first_col + c, value, style)
                    else:
                        ws.write(first_row + r, first_col + c, value)
            wb.close()
            return os.path.join(work, name)

        def convert(source, target, name):
            outdir = os.path.join(work, name.replace('.', '_'))
            subprocess.run([soffice, '-env:UserInstallation=file://' + os.path.join(work, 'profile'),
                            '--headless', '--norestore', '--convert-to', target, '--outdir', outdir, source],
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
            shutil.copy(os.path.join(outdir, os.listdir(outdir)[0]), out(name))

        lo = book('lo.xlsx', [['日期', '是否交易日'], [datetime.datetime(2024, 1, 2), 1],
                              [datetime.datetime(2024, 1, 3), 0]], formats=[31, 0])
        convert(lo, 'xls:MS Excel 97', 'libreoffice.xls')
        header = ['日期', '是否交易日']
        offset = book('offset.xlsx', [header, ['2024-01-02', 1], ['2024-01-03', 0], ['2024-01-04', 1]],
                      first_row=2, first_col=1)
        convert(offset, 'ods', 'ods_as.xlsx')
        comma = book('comma.xlsx', [header, ['2024-01-02', 1], ['2024-01-03,1', 1], ['2024-01-04', 1]],
                     first_row=2, first_col=1)
        convert(comma, 'ods', 'ods_comma.xlsx')


# ---------------------------------------------------------------- hand-packaged workbooks

MAIN = 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'
REL = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
PKG = 'http://schemas.openxmlformats.org/package/2006/relationships'
STRICT_MAIN = 'http://purl.oclc.org/ooxml/spreadsheetml/main'
STRICT_REL = 'http://purl.oclc.org/ooxml/officeDocument/relationships'


def rels(items):
    body = ''.join('<Relationship Id="%s" Type="%s" Target="%s"/>' % item for item in items)
    return '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="%s">%s</Relationships>' % (PKG, body)


def workbook(sheets, main=MAIN, rel=REL, extra=''):
    body = ''.join('<sheet name="%s" sheetId="%d" r:id="%s"/>' % s for s in sheets)
    return ('<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="%s" xmlns:r="%s">%s<sheets>%s</sheets></workbook>'
            % (main, rel, extra, body))


def sheet(data, main=MAIN, prefix=''):
    p = prefix + ':' if prefix else ''
    ns = 'xmlns:%s="%s"' % (prefix, main) if prefix else 'xmlns="%s"' % main
    return ('<?xml version="1.0" encoding="UTF-8"?><%sworksheet %s><%sdimension ref="A1"/><%ssheetData>%s</%ssheetData></%sworksheet>'
            % (p, ns, p, p, data, p, p))


def package(name, parts, zip64=False, method=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(out(name), 'w', method) as z:
        for part, text in parts.items():
            data = text.encode('utf-8') if isinstance(text, str) else text
            with z.open(part, 'w', force_zip64=zip64) as f:
                f.write(data)


def simple_package(name, sheet_xml, extra_parts=None, workbook_extra='', zip64=False, method=zipfile.ZIP_DEFLATED):
    officedoc = REL + '/officeDocument'
    parts = {
        '_rels/.rels': rels([('rId1', officedoc, 'xl/workbook.xml')]),
        'xl/workbook.xml': workbook([('Sheet1', 1, 'rId1')], extra=workbook_extra),
        'xl/_rels/workbook.xml.rels': rels([('rId1', REL + '/worksheet', 'worksheets/sheet1.xml'),
                                            ('rId2', REL + '/styles', 'styles.xml'),
                                            ('rId3', REL + '/sharedStrings', 'sharedStrings.xml')]),
        'xl/worksheets/sheet1.xml': sheet_xml,
    }
    parts.update(extra_parts or {})
    package(name, parts, zip64, method)


STYLES = ('<?xml version="1.0" encoding="UTF-8"?><styleSheet xmlns="%s">'
          '<numFmts count="1"><numFmt numFmtId="176" formatCode="yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;"/></numFmts>'
          '<cellStyleXfs count="1"><xf numFmtId="14"/></cellStyleXfs>'
          '<cellXfs count="4"><xf numFmtId="0"/><xf numFmtId="31"/><xf numFmtId="176"/><xf numFmtId="2"/></cellXfs>'
          '</styleSheet>' % MAIN)
SHARED = ('<?xml version="1.0" encoding="UTF-8"?><sst xmlns="%s" count="3" uniqueCount="3">'
          '<si><t>日期</t></si>'
          '<si><r><t>是否</t></r><r><rPr><b/></rPr><t xml:space="preserve">交易日</t></r><rPh sb="0" eb="2"><t>シ</t></rPh></si>'
          '<si><t>a_x0041_b_x005F_x0041_</t></si>'
          '</sst>' % MAIN)


# Format ids at the edges of the built-in date ranges, custom codes that only look like dates, serials at
# the edges of the calendar, numbers with binary noise, and escapes that are none.
CORNER_FORMATS = [13, 14, 22, 23, 26, 27, 36, 37, 44, 45, 47, 48, 49, 50, 58, 59]
CORNER_CODES = ['[$-804]yyyy/m/d;@', 'General', '0" days"', '[Red]0.00', '0\\d', '0_m', '0"d']
CORNER_SERIALS = ['1', '59', '61', '45293.75', '45311.9999', '0', '-1', '2958466', 'nan', 'inf']


def corners():
    codes = ''.join('<numFmt numFmtId="%d" formatCode="%s"/>' % (200 + i, escape(code, {'"': '&quot;'}))
                    for i, code in enumerate(CORNER_CODES))
    ids = CORNER_FORMATS + [200 + i for i in range(len(CORNER_CODES))]
    xfs = ''.join('<xf numFmtId="%d"/>' % i for i in ids)
    styles = ('<?xml version="1.0" encoding="UTF-8"?><styleSheet xmlns="%s"><numFmts>%s</numFmts>'
              '<cellXfs count="%d">%s</cellXfs></styleSheet>' % (MAIN, codes, len(ids), xfs))
    def row(label, value, style=None, kind=''):
        s = ' s="%d"' % style if style is not None else ''
        return ('<row><c t="inlineStr"><is><t>%s</t></is></c><c%s%s><v>%s</v></c></row>'
                % (escape(label), s, kind, value))
    rows = [row(str(id), 45293, style) for style, id in enumerate(ids[:len(CORNER_FORMATS)])]
    rows += [row(code, 45293, len(CORNER_FORMATS) + i) for i, code in enumerate(CORNER_CODES)]
    rows += [row('serial ' + serial, serial, CORNER_FORMATS.index(14)) for serial in CORNER_SERIALS]
    rows += [row('noise', '0.30000000000000004'), row('large', '1E20')]
    rows += ['<row><c t="inlineStr"><is><t>escapes</t></is></c><c t="inlineStr"><is><t>%s</t></is></c></row>'
             % text for text in ('a_x000D_', '_x00G1_', '_x004_')]
    # Quotes of either kind around attribute values that hold the other quote and '>'.
    rows += ['<row><c t=\'inlineStr\' x=\'a>"b\'><is><t>quotes</t></is></c><c x="c>\'d"><v>7</v></c></row>']
    simple_package('corners.xlsx', sheet(''.join(rows)), {'xl/styles.xml': styles})


def hand_packages():
    corners()
    simple_package('norefs.xlsx', sheet(
        '<row><c t="s"><v>0</v></c><c t="s"><v>1</v></c></row>'
        '<row><c t="inlineStr"><is><t>2024-01-02</t></is></c><c><v>1</v></c></row>'
        '<row><c s="1"><v>45293</v></c><c><v>1.0</v></c></row>'
        '<row><c s="2"><v>45294</v></c><c><v>1E0</v></c></row>'),
        {'xl/styles.xml': STYLES, 'xl/sharedStrings.xml': SHARED})
    simple_package('types.xlsx', sheet(
        '<row r="1"><c r="A1" t="b"><v>1</v></c><c r="B1" t="b"><v>0</v></c></row>'
        '<row r="2"><c r="A2" t="e"><v>#N/A</v></c><c r="B2" t="str"><f>A1&amp;""</f><v>TRUE</v></c></row>'
        '<row r="3"><c r="A3" t="d"><v>2024-02-29T00:00:00</v></c><c r="B3" t="s"><v>2</v></c></row>'
        '<row r="4"><c r="A4" t="inlineStr"><is><r><t>&lt;&amp;&#x41;</t></r><rPh><t>x</t></rPh><r><t>&#26085;</t></r></is></c>'
        '<c r="B4" s="3"><v>0.1</v></c></row>'
        '<row r="5"><c r="A5" s="1"><v>60</v></c><c r="B5" s="1"><v>45311.999999999</v></c></row>'
        '<row r="6"><!-- a comment --><?pi x?><c r="A6"><v>-3</v></c><c r="B6"><![CDATA[<ignored>]]><v>123456789012</v></c></row>'),
        {'xl/styles.xml': STYLES, 'xl/sharedStrings.xml': SHARED})
    gaps = sheet('<row r="2"><c r="B2" t="inlineStr"><is><t>x</t></is></c><c r="D2"><v>5</v></c><c r="E2" s="1"/></row>'
                 '<row r="3"/><row r="4"><c r="C4"><v>6</v></c></row>'
                 '<row r="1"><c r="C1" t="inlineStr"><is><t>early</t></is></c></row>'
                 '<row r="4"><c r="C4"><v>7</v></c></row>')
    simple_package('gaps.xlsx', gaps)
    simple_package('zip64.xlsx', gaps, zip64=True)
    simple_package('stored.xlsx', gaps, method=zipfile.ZIP_STORED)
    simple_package('dtd.xlsx', sheet('<row><c><v>1</v></c></row>'),
                   {'xl/workbook.xml': '<?xml version="1.0"?><!DOCTYPE lol [<!ENTITY a "aaaaaaaaaa">'
                                       '<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">]>'
                                       + workbook([('S', 1, 'rId1')])[len('<?xml version="1.0" encoding="UTF-8"?>'):]})
    simple_package('dtd_sheet.xlsx', '<?xml version="1.0"?><!DOCTYPE worksheet [<!ENTITY e "x">]>'
                   + sheet('<row><c t="inlineStr"><is><t>&e;</t></is></c></row>')[len('<?xml version="1.0" encoding="UTF-8"?>'):])
    # Strict: other namespaces, an absolute target, a prefixed worksheet, relationship types by URI.
    strict_rel_types = 'http://purl.oclc.org/ooxml/officeDocument/relationships'
    package('strict.xlsx', {
        '_rels/.rels': rels([('rId1', strict_rel_types + '/officeDocument', '/xl/workbook.xml')]),
        'xl/workbook.xml': workbook([('S', 1, 'rId7')], STRICT_MAIN, STRICT_REL),
        'xl/_rels/workbook.xml.rels': rels([('rId7', strict_rel_types + '/worksheet', '/xl/worksheets/data.xml')]),
        'xl/worksheets/data.xml': sheet('<x:row r="1"><x:c r="A1" t="inlineStr"><x:is><x:t>日期</x:t></x:is></x:c>'
                                        '<x:c r="B1" t="inlineStr"><x:is><x:t>标志</x:t></x:is></x:c></x:row>'
                                        '<x:row r="2"><x:c r="A2" t="inlineStr"><x:is><x:t>2024-01-02</x:t></x:is></x:c>'
                                        '<x:c r="B2"><x:v>1</x:v></x:c></x:row>', STRICT_MAIN, 'x'),
    })
    # The first tab in workbook order is sheet2.xml, reached through a relative "../" target.
    package('tab_order.xlsx', {
        '_rels/.rels': rels([('rId1', REL + '/officeDocument', 'xl/workbook.xml')]),
        'xl/workbook.xml': workbook([('Second', 2, 'rId2'), ('First', 1, 'rId1')]),
        'xl/_rels/workbook.xml.rels': rels([('rId1', REL + '/worksheet', 'worksheets/sheet1.xml'),
                                            ('rId2', REL + '/worksheet', '../xl/worksheets/sheet2.xml')]),
        'xl/worksheets/sheet1.xml': sheet('<row r="1"><c r="A1" t="inlineStr"><is><t>sheet1</t></is></c></row>'),
        'xl/worksheets/sheet2.xml': sheet('<row r="1"><c r="A1" t="inlineStr"><is><t>sheet2</t></is></c></row>'),
    })


def patch_headers(name, part, patch):
    """Calls patch(data, crc_at) for the local and the central header of part; a header's sizes follow its CRC."""
    data = bytearray(open(out(name), 'rb').read())
    encoded = part.encode()
    for signature, crc_offset, name_length_offset, name_offset in ((b'PK\x03\x04', 14, 26, 30),
                                                                    (b'PK\x01\x02', 16, 28, 46)):
        start = 0
        while True:
            at = data.find(signature, start)
            if at < 0:
                break
            length = struct.unpack_from('<H', data, at + name_length_offset)[0]
            if bytes(data[at + name_offset:at + name_offset + length]) == encoded:
                patch(data, at + crc_offset)
            start = at + 4
    open(out(name), 'wb').write(bytes(data))


def patch_sizes(name, part, size):
    """Makes the local and central headers of part claim an uncompressed size of size bytes."""
    patch_headers(name, part, lambda data, crc_at: struct.pack_into('<I', data, crc_at + 8, size))


def patch_crc(name, part):
    """Makes the local and central headers of part state a CRC its bytes do not have."""
    def flip(data, crc_at):
        data[crc_at] ^= 0xFF
    patch_headers(name, part, flip)


def hostile_packages():
    rows = ''.join('<row r="%d"><c r="A%d"><v>%d</v></c></row>' % (i, i, i) for i in range(1, 2000))
    # A sheet that inflates to more than its header says.
    simple_package('liar.xlsx', sheet(rows))
    patch_sizes('liar.xlsx', 'xl/worksheets/sheet1.xml', 1000)
    # A header that claims more than any workbook part may hold.
    simple_package('huge_header.xlsx', sheet(rows))
    patch_sizes('huge_header.xlsx', 'xl/worksheets/sheet1.xml', 0xFFFFFFF0)
    # A workbook part of 40 MiB of blanks (a few kilobytes compressed) whose header claims 1,000 bytes.
    blanks = workbook([('S', 1, 'rId1')]).replace('<sheets>', ' ' * (40 * 1024 * 1024) + '<sheets>')
    simple_package('bomb.xlsx', sheet(rows), {'xl/workbook.xml': blanks})
    patch_sizes('bomb.xlsx', 'xl/workbook.xml', 1000)
    # The same part stating its true size, still more than a workbook part may hold.
    simple_package('big_part.xlsx', sheet(rows), {'xl/workbook.xml': blanks})
    # A sheet that inflates right but does not match its CRC.
    simple_package('bad_crc.xlsx', sheet(rows))
    patch_crc('bad_crc.xlsx', 'xl/worksheets/sheet1.xml')
    # Two cells at opposite corners of the largest sheet: billions of fields to lay out.
    simple_package('huge_range.xlsx', sheet('<row r="1"><c r="A1"><v>1</v></c></row>'
                                            '<row r="1048576"><c r="XFD1048576"><v>2</v></c></row>'))
    whole = open(out('norefs.xlsx'), 'rb').read()
    open(out('truncated.xlsx'), 'wb').write(whole[:len(whole) // 2])
    flipped = bytearray(whole)
    middle = flipped.find(b'xl/worksheets/sheet1.xml') + 60
    flipped[middle] ^= 0xFF
    open(out('corrupt.xlsx'), 'wb').write(bytes(flipped))
    stored = bytearray(open(out('stored.xlsx'), 'rb').read())
    stored[stored.find(b'<v>5</v>') + 3] ^= 0x01  # still a number: only the CRC tells
    open(out('corrupt_stored.xlsx'), 'wb').write(bytes(stored))
    open(out('empty.xlsx'), 'wb').close()
    open(out('text.xlsx'), 'w').write('日期,是否交易日\n2024-01-02,1\n')
    xls = open(out('dates.xls'), 'rb').read()
    open(out('truncated.xls'), 'wb').write(xls[:1500])
    open(out('garbage.xls'), 'wb').write(xls[:512] + bytes((i * 37) % 256 for i in range(4096)))


# ---------------------------------------------------------------- text files

def text_files():
    lines = ['日期,是否交易日', '2024-01-02,1', '2024-01-03,0', '2024-01-04,1']
    body = '\r\n'.join(lines) + '\r\n'
    open(out('gbk.csv'), 'wb').write(body.encode('gbk'))
    open(out('gbk4byte.csv'), 'wb').write('日期𠀀,标志\n2024-01-02,1'.encode('gb18030'))
    open(out('utf8bom.csv'), 'wb').write(b'\xef\xbb\xbf' + '\n'.join(lines).encode('utf-8'))
    open(out('utf8.csv'), 'wb').write('\n'.join(lines).encode('utf-8'))
    open(out('utf16.csv'), 'wb').write(b'\xff\xfe' + '\r\n'.join(lines).encode('utf-16-le'))
    open(out('liantong.csv'), 'wb').write('联通'.encode('gbk'))


xlsxwriter_dates()
xlsxwriter_1904()
xlsxwriter_inline_and_rich()
xlsxwriter_shapes()
openpyxl_reordered()
xlwt_books()
hand_packages()
hostile_packages()
text_files()
libreoffice_books()
