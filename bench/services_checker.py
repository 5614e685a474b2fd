#!/usr/bin/python3
"""One product check in Python, for comparison with QueryItem: the same four
requests (requests.Session, the same header block), the stock answer's \\u
escapes decoded to code page 936, and the same markers cut out. Prints one JSON
line with the client's own CPU time (time.process_time) over the checks."""
import argparse
import json
import re
import time

import requests

PRICE_LABEL = " |当前价格：".encode("gbk")
ESCAPE = re.compile(rb"%u([0-9a-fA-F]{4})|%([0-9a-fA-F]{2})")


def between(text, left, right):
    p = text.find(left)
    if p < 0:
        return b""
    s = p + len(left)
    q = text.find(right, s)
    return b"" if q < 0 else text[s:q]


def after_last(text, marker):
    p = text.rfind(marker)
    return b"" if p < 0 else text[p + len(marker):]


def unescape(text):
    text = text.replace(b"\\u", b"%u")
    return ESCAPE.sub(lambda m: chr(int(m.group(1) or m.group(2), 16)).encode("gbk", "replace"), text)


def region_code(cell):
    province = after_last(cell.split(b"#", 1)[0] if b"#" in cell else b"", b"-")
    city = after_last(between(cell, b"#", b"+"), b"-")
    area = after_last(after_last(cell, b"+"), b"-")
    return province + b"_" + city + b"_" + area


def urls(base, sku, region, vender, cat):
    code = region_code(region.encode("gbk")).decode()
    return [
        f"{base}/stock?skuId={sku}&venderId={vender}&cat={cat}&area={code}_0&buyNum=1"
        "&extraParam={%22originid%22:%221%22}&ch=1&callback=getStockCallback",
        f"{base}/prices/get?skuid=J_{sku}&type=1&area={code}&callback=cnp",
        f"{base}/promoinfo/get?id={sku}&area={code}_0&origin=1&callback=Promotions.set",
        f"{base}/prices/pcpmgets?skuids={sku}&origin=4&source=wxsq&area={code}"
        "&callback=singlePrice&g_ty=ls",
    ]


def fetch(session, url):
    request = requests.Request("GET", url, headers={
        "User-Agent": "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)",
        "Accept": "*/*",
        "Referer": url,
        "Accept-Language": "zh-cn",
        "Content-Type": "application/x-www-form-urlencoded",
    })
    prepared = session.prepare_request(request)
    prepared.url = url  # sent exactly as built, like the C++ client
    try:
        return session.send(prepared, timeout=30).content
    except requests.RequestException:
        return b""


def check(session, addresses):
    stock, price, promo, mobile = (fetch(session, u) for u in addresses)
    state = between(unescape(stock), b'StockStateName":"', b'",')
    if not state:
        return None
    first = between(price, b'"p":"', b'",')
    second = between(promo, b'"mpt":"', b",") if b'"mpt":"' in promo else first
    combined = state + PRICE_LABEL + first + b"/" + second
    tail = after_last(combined, PRICE_LABEL)
    return (state, tail.split(b"/", 1)[0], after_last(tail, b"/"), between(mobile, b'"p":"', b'",'))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--base", required=True)
    parser.add_argument("--checks", type=int, default=1000)
    parser.add_argument("--warmup", type=int, default=20)
    parser.add_argument("--sku", default="1743535")
    parser.add_argument("--region", default="北京-1#朝阳区-72+三环以内-2799")
    parser.add_argument("--vender", default="1000000127")
    parser.add_argument("--cat", default="737,752,753")
    args = parser.parse_args()

    session = requests.Session()
    session.trust_env = False  # loopback only: no proxy settings to consult
    addresses = urls(args.base, args.sku, args.region, args.vender, args.cat)
    for _ in range(args.warmup):
        check(session, addresses)
    ok = 0
    cpu0, wall0 = time.process_time(), time.perf_counter()
    for _ in range(args.checks):
        ok += check(session, addresses) is not None
    cpu, wall = time.process_time() - cpu0, time.perf_counter() - wall0
    print(json.dumps({"checks": args.checks, "ok": ok, "cpu_s": cpu, "wall_s": wall}))


if __name__ == "__main__":
    main()
