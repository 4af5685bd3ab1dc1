"""Prints what xlrd reads from a workbook, one fact a line, for the interop tests:
python3 xlrd_dump.py FILE.xls

  sheet <TAB> name <TAB> visibility
  cell <TAB> row <TAB> col <TAB> type <TAB> value        (values as JSON, ASCII only)
  format <TAB> row <TAB> col <TAB> format text <TAB> font name <TAB> height <TAB> bold
  merged <TAB> first row <TAB> last row + 1 <TAB> first col <TAB> last col + 1
"""
import json
import sys

import xlrd

TYPES = {xlrd.XL_CELL_EMPTY: "empty", xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number",
         xlrd.XL_CELL_DATE: "date", xlrd.XL_CELL_BOOLEAN: "bool", xlrd.XL_CELL_ERROR: "error",
         xlrd.XL_CELL_BLANK: "blank"}


def main(path):
    book = xlrd.open_workbook(path, formatting_info=True)
    for sheet in book.sheets():
        print("sheet\t%s\t%d" % (json.dumps(sheet.name), sheet.visibility))
        for row in range(sheet.nrows):
            for col in range(sheet.ncols):
                cell = sheet.cell(row, col)
                if cell.ctype == xlrd.XL_CELL_EMPTY:
                    continue
                print("cell\t%d\t%d\t%s\t%s" % (row, col, TYPES[cell.ctype], json.dumps(cell.value)))
                xf = book.xf_list[cell.xf_index]
                if xf.format_key >= 164:
                    font = book.font_list[xf.font_index]
                    print("format\t%d\t%d\t%s\t%s\t%d\t%d" % (
                        row, col, json.dumps(book.format_map[xf.format_key].format_str),
                        json.dumps(font.name), font.height, font.bold))
        for rlo, rhi, clo, chi in sheet.merged_cells:
            print("merged\t%d\t%d\t%d\t%d" % (rlo, rhi, clo, chi))


if __name__ == "__main__":
    main(sys.argv[1])
