#!/usr/bin/python3
"""Smoke test of the simulated store: starts the built binary on a free loopback
port and checks each answer the program parses, the scenario timing, the admin
calls, the raw request log, the hostile modes and both ways of stopping.

usage: /usr/bin/python3 tools/fake-store/smoke_test.py <build>/tools/fake-store/fake_store
"""
import os
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import urllib.parse

FAILURES = []


def check(cond, what):
    print(("ok   " if cond else "FAIL ") + what)
    if not cond:
        FAILURES.append(what)


def raw_get(port, target, headers=(("Host", "c0.3.cn"),), timeout=5):
    """Sends target as raw bytes and returns (status line, headers text, body bytes)."""
    if isinstance(target, str):
        target = target.encode()
    head = b"GET " + target + b" HTTP/1.1\r\n"
    for k, v in headers:
        head += k.encode() + b": " + v.encode() + b"\r\n"
    head += b"Connection: close\r\n\r\n"
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        s.sendall(head)
        data = b""
        while True:
            chunk = s.recv(65536)
            if not chunk:
                break
            data += chunk
    top, _, body = data.partition(b"\r\n\r\n")
    lines = top.split(b"\r\n")
    return lines[0].decode("latin-1"), b"\n".join(lines[1:]).decode("latin-1"), body


def between(text, left, right):
    """The program's cut: text between the first left marker and the next right marker."""
    i = text.find(left)
    if i < 0:
        return None
    j = text.find(right, i + len(left))
    return None if j < 0 else text[i + len(left):j]


def start(binary, *args):
    proc = subprocess.Popen([binary, "--port", "0", *args], stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL)
    line = proc.stdout.readline().decode()
    assert line.startswith("port "), line
    return proc, int(line.split()[1])


def main():
    binary = sys.argv[1]
    work = tempfile.mkdtemp(prefix="fakestore-smoke-")
    log_path = os.path.join(work, "requests.log")
    scenario = os.path.join(work, "scenario.txt")
    with open(scenario, "w", encoding="utf-8") as f:
        f.write("# sku seconds changes\n"
                "555 0 stock=无货 pc=20.00 mobile=none wechat=19.00\n"
                "\n"
                "555 1.5 stock=现货 pc=9.90 mobile=9.50 wechat=9.80\n")
    proc, port = start(binary, "--scenario", scenario, "--log", log_path)
    try:
        run_checks(port, log_path)
        status, _, _ = raw_get(port, "/__admin/quit")
        check(status.endswith("200 OK"), "quit answers 200")
        check(proc.wait(timeout=3) == 0, "quit stops the store with exit code 0")
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()

    proc, port = start(binary)
    proc.send_signal(signal.SIGTERM)
    check(proc.wait(timeout=3) == 0, "SIGTERM stops the store with exit code 0")

    with open(scenario, "w", encoding="utf-8") as f:
        f.write("555 soon stock=x\n")
    bad = subprocess.run([binary, "--port", "0", "--scenario", scenario],
                         capture_output=True, timeout=10)
    check(bad.returncode == 2 and b"line 1" in bad.stderr, "a bad scenario line is refused")
    shutil.rmtree(work)
    print("%d failure(s)" % len(FAILURES))
    return 1 if FAILURES else 0


def run_checks(port, log_path):
    # Stock, with the exact target the program sends: raw braces and percent signs.
    target = ("/stock?skuId=555&venderId=1000000127&cat=652,654,832&area=1_72_2799_0_0"
              "&buyNum=1&extraParam={%22originid%22:%221%22}&ch=1&callback=getStockCallback")
    status, _, body = raw_get(port, target, (("Host", "c0.3.cn"), ("User-Agent", "Velmora-Test"),
                                             ("Accept", "*/*"), ("X-Last", "1")))
    text = body.decode("ascii")
    check(status == "HTTP/1.1 200 OK", "stock answers 200")
    check(text.startswith("getStockCallback({") and text.endswith("})"), "stock callback shape")
    check(between(text, 'StockStateName":"', '",') == "\\u65e0\\u8d27",
          "stock state at time 0 is 无货 as \\u escapes followed by \",")

    with open(log_path, "rb") as f:
        log = f.read()
    expected = ("GET " + target + " HTTP/1.1\nHost: c0.3.cn\nUser-Agent: Velmora-Test\n"
                "Accept: */*\nX-Last: 1\nConnection: close\n\n").encode()
    check(log.endswith(expected), "log holds the raw request line and headers in arrival order")

    # Non-ASCII bytes in the target reach the log untouched.
    gbk_target = b"/\xc9\xcc\xc6\xb7.html"
    raw_get(port, gbk_target)
    with open(log_path, "rb") as f:
        check(b"GET " + gbk_target + b" HTTP/1.1\n" in f.read(), "log keeps raw code page 936 bytes")
    raw_get(port, "/__admin/get?sku=555")
    with open(log_path, "rb") as f:
        check(b"/__admin/" not in f.read(), "admin calls stay out of the log")

    # Product page: code page 936 bytes with the three markers.
    status, headers, page = raw_get(port, "/555.html", (("Host", "item.jd.com"),))
    check(status.endswith("200 OK") and "gbk" in headers, "product page is served as gbk")
    check(between(page, b"venderId:", b",") != b"", "product page has venderId:<id>,")
    check(between(page, b"cat: [", b"],") not in (None, b""), "product page has cat: [..],")
    block = between(page, b"product-intro", b"</div>") or b""
    name = between(block, b'" alt="', b'"/>')
    check(name is not None and name.decode("gbk").endswith("555"), "generated name inside product-intro")

    # The scenario's second step arrives after 1.5 s.
    time.sleep(1.7)
    _, _, stock = raw_get(port, target)
    check(between(stock.decode(), 'StockStateName":"', '",') == "\\u73b0\\u8d27", "scenario: stock becomes 现货")
    _, _, price = raw_get(port, "/prices/get?skuid=J_555&type=1&area=1_72_2799&callback=cnp")
    check(price.startswith(b"cnp([") and between(price, b'"p":"', b'",') == b"9.90", "scenario: pc 9.90")
    _, _, promo = raw_get(port, "/promoinfo/get?id=555&area=1_72_2799_0&origin=1&callback=Promotions.set")
    check(promo.startswith(b"Promotions.set(") and between(promo, b'"mpt":"', b",") == b'9.50"',
          "scenario: mpt 9.50")
    _, _, mobile = raw_get(port, "/prices/pcpmgets?skuids=555&origin=4&source=wxsq&area=1_72_2799"
                                 "&callback=singlePrice&g_ty=ls")
    check(mobile.startswith(b"singlePrice([") and between(mobile, b'"p":"', b'",') == b"9.80",
          "scenario: wechat 9.80")

    # Admin set: UTF-8 percent-encoded, mobile=none drops "mpt".
    q = urllib.parse.urlencode({"sku": "777", "name": '测试 "引号" 商品', "mobile": "none", "pc": "5.00"})
    status, _, _ = raw_get(port, "/__admin/set?" + q)
    check(status.endswith("200 OK"), "admin set answers 200")
    _, _, promo = raw_get(port, "/promoinfo/get?id=777&area=1_2_3_0&origin=1&callback=Promotions.set")
    check(b'"mpt":"' not in promo, "mobile=none leaves mpt out")
    _, _, page = raw_get(port, "/777.html")
    block = between(page, b"product-intro", b"</div>") or b""
    check(between(block, b'" alt="', b'"/>') == '测试 "引号" 商品'.encode("gbk"), "admin name in GBK")
    status, _, _ = raw_get(port, "/__admin/set?sku=777&colour=red")
    check(status.startswith("HTTP/1.1 400"), "admin set refuses an unknown key")

    # Districts.
    _, _, d = raw_get(port, "/index.php?mod=ajax&act=getchild_jddist&pid=1")
    check(b'{"id":"2800","aname":"\\u6d77\\u6dc0\\u533a"}' in d, "Beijing lists 海淀区-2800")
    empty = []
    for pid in range(1, 36):
        _, _, cities = raw_get(port, "/index.php?mod=ajax&act=getchild_jddist&pid=%d" % pid)
        ids = cities.decode("latin-1").split('"id":"')[1:]
        if not ids:
            empty.append(pid)
        for piece in ids:
            cid = piece.split('"')[0]
            _, _, areas = raw_get(port, "/index.php?mod=ajax&act=getchild_jddist&pid=" + cid)
            if b'","aname":"' not in areas:
                empty.append(cid)
    check(not empty, "every province has cities and every city has areas (%s)" % empty)
    _, _, none = raw_get(port, "/index.php?mod=ajax&act=getchild_jddist&pid=999999")
    check(none == b"[]", "an unknown district id gives []")

    # QR picture of everything after &text=, raw.
    url = "https://wqitem.jd.com/item/view?sku=1743535"
    _, headers, png = raw_get(port, "/api.php?&bg=FFFFFF&fg=FFFFFF&gc=0&el=2&w=200&m=10&pt=0"
                                    "&inpt=0&logo=&text=" + url)
    check(png[:8] == b"\x89PNG\r\n\x1a\n" and struct.unpack(">II", png[16:24]) == (200, 200),
          "QR answer is a 200 x 200 PNG")
    if shutil.which("zbarimg"):
        with tempfile.NamedTemporaryFile(suffix=".png") as f:
            f.write(png)
            f.flush()
            out = subprocess.run(["zbarimg", "-q", "--raw", f.name], capture_output=True)
            check(out.stdout.decode().strip() == url, "QR decodes to the text (fg = bg drawn black)")

    _, _, banner = raw_get(port, "/banner.png")
    check(banner[:8] == b"\x89PNG\r\n\x1a\n" and struct.unpack(">II", banner[16:24]) == (888, 95),
          "banner is an 888 x 95 PNG")
    for path in ("/", "/feedback"):
        status, _, body = raw_get(port, path)
        check(status.endswith("200 OK") and b"<html>" in body, "maker page " + path)
    status, _, _ = raw_get(port, "/no/such/thing")
    check(status.startswith("HTTP/1.1 404"), "unknown path gives 404")

    # Hostile modes.
    raw_get(port, "/__admin/mode?path=/prices&mode=stall")
    try:
        raw_get(port, "/prices/get?skuid=J_1", timeout=0.7)
        check(False, "stall mode answers nothing")
    except socket.timeout:
        check(True, "stall mode answers nothing")
    raw_get(port, "/__admin/mode?path=/prices&mode=normal")
    raw_get(port, "/__admin/mode?path=/stock&mode=reset&times=1")
    try:
        status, _, _ = raw_get(port, "/stock?skuId=1")
        check(status == "", "reset mode gives no answer")
    except ConnectionResetError:
        check(True, "reset mode resets the connection")
    status, _, _ = raw_get(port, "/stock?skuId=1")
    check(status.endswith("200 OK"), "times=1 affects one request only")
    raw_get(port, "/__admin/mode?path=/1&mode=truncate")
    _, headers, body = raw_get(port, "/1.html")
    length = int([h for h in headers.split("\n") if h.startswith("Content-Length")][0].split(":")[1])
    check(len(body) < length, "truncate mode sends less than it promises")
    raw_get(port, "/__admin/mode?path=/1&mode=redirectloop")
    status, headers, _ = raw_get(port, "/1.html")
    check(status.startswith("HTTP/1.1 302") and "Location: /1.html" in headers, "redirect loop")
    raw_get(port, "/__admin/mode?path=/banner&mode=bomb&side=40000")
    _, _, bomb = raw_get(port, "/banner.png")
    check(len(bomb) < 4096 and struct.unpack(">II", bomb[16:24]) == (40000, 40000),
          "bomb mode: a small PNG claiming 40000 x 40000")
    raw_get(port, "/__admin/mode?path=/2&mode=huge&size=3000000&length=none")
    _, headers, body = raw_get(port, "/2.html")
    check(len(body) == 3000000 and "Content-Length" not in headers, "huge mode without a length")
    raw_get(port, "/__admin/reset")
    status, _, _ = raw_get(port, "/1.html")
    check(status.endswith("200 OK"), "reset clears the modes")


if __name__ == "__main__":
    sys.exit(main())
