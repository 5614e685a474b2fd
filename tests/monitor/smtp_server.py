#!/usr/bin/python3
"""Loopback SMTP server for the alert-mail tests.

Listens on 127.0.0.1 on a free port, prints "port N", offers AUTH LOGIN and
PLAIN without TLS and logs every AUTH attempt and every received message to
--log, one tab-separated line each, byte fields base64-encoded:

  STARTTLS <unix time>
  AUTH <unix time> <mechanism> <login> <1|0>
  MAIL <unix time> <envelope from> <envelope to, comma-joined> <From> <To>
       <subject bytes> <subject charset> <body bytes> <body charset>
       <transfer encoding> <date parses 1|0> <raw message>

Subject and body are decoded here with Python's own email package, so the
tests compare against a decoder independent of the one under test. Runs until
stdin closes or SIGTERM.
"""
import argparse
import asyncio
import base64
import email
import email.header
import email.utils
import logging
import signal
import ssl
import sys
import time
import warnings

from aiosmtpd.smtp import SMTP, AuthResult


def b64(data):
    if isinstance(data, str):
        data = data.encode("utf-8", "surrogateescape")
    return base64.b64encode(data or b"").decode("ascii")


class Log:
    def __init__(self, path):
        self.file = open(path, "a", encoding="ascii")

    def write(self, *fields):
        self.file.write("\t".join(str(f) for f in fields) + "\n")
        self.file.flush()


def decode_subject(raw):
    parts = email.header.decode_header(raw or "")
    data = b""
    charset = ""
    for chunk, chunk_charset in parts:
        data += chunk if isinstance(chunk, bytes) else chunk.encode("ascii", "replace")
        charset = chunk_charset or charset
    return data, charset


class Handler:
    def __init__(self, log):
        self.log = log

    async def handle_DATA(self, server, session, envelope):
        raw = envelope.original_content or envelope.content
        msg = email.message_from_bytes(raw)
        subject, subject_charset = decode_subject(msg.get("Subject"))
        body = msg.get_payload(decode=True) or b""
        try:
            email.utils.parsedate_to_datetime(msg.get("Date", ""))
            date_ok = 1
        except (TypeError, ValueError):
            date_ok = 0
        self.log.write("MAIL", f"{time.time():.3f}", b64(envelope.mail_from),
                       b64(",".join(envelope.rcpt_tos)), b64(msg.get("From", "")),
                       b64(msg.get("To", "")), b64(subject), subject_charset or "-",
                       b64(body), msg.get_content_charset() or "-",
                       msg.get("Content-Transfer-Encoding", "-"), date_ok, b64(raw))
        return "250 OK"


def main():
    warnings.simplefilter("ignore")
    logging.getLogger("mail.log").setLevel(logging.ERROR)
    parser = argparse.ArgumentParser()
    parser.add_argument("--log", required=True)
    parser.add_argument("--user", default="")
    parser.add_argument("--password", default="")
    parser.add_argument("--refuse-all", action="store_true")
    parser.add_argument("--only", choices=["LOGIN", "PLAIN"], help="offer only this mechanism")
    parser.add_argument("--tls-pem", help="offer STARTTLS with this key and certificate")
    args = parser.parse_args()
    log = Log(args.log)

    def authenticator(server, session, envelope, mechanism, auth_data):
        login = getattr(auth_data, "login", b"") or b""
        password = getattr(auth_data, "password", b"") or b""
        ok = (not args.refuse_all and login == args.user.encode()
              and password == args.password.encode())
        log.write("AUTH", f"{time.time():.3f}", mechanism, b64(login), 1 if ok else 0)
        return AuthResult(success=ok, handled=False)

    exclude = []
    if args.only:
        exclude = [m for m in ("LOGIN", "PLAIN") if m != args.only]

    tls = None
    if args.tls_pem:
        tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        tls.load_cert_chain(args.tls_pem)

    class LoggingSMTP(SMTP):
        async def smtp_STARTTLS(self, arg):
            log.write("STARTTLS", f"{time.time():.3f}")
            await super().smtp_STARTTLS(arg)

    def factory():
        return LoggingSMTP(Handler(log), hostname="velmora-test", auth_required=True,
                           auth_require_tls=False, authenticator=authenticator,
                           auth_exclude_mechanism=exclude, tls_context=tls)

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(loop.create_server(factory, host="127.0.0.1", port=0))
    print(f"port {server.sockets[0].getsockname()[1]}", flush=True)

    stop = loop.create_future()
    loop.add_signal_handler(signal.SIGTERM, lambda: stop.done() or stop.set_result(None))
    loop.add_reader(sys.stdin.fileno(), lambda: sys.stdin.buffer.read1(4096) or
                    (stop.done() or stop.set_result(None)))
    loop.run_until_complete(stop)
    server.close()
    loop.run_until_complete(server.wait_closed())


if __name__ == "__main__":
    main()
