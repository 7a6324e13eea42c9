"""A loopback SMTP server for the mail tests (Debian's python3-aiosmtpd).

Prints "PORT <n>" once it accepts connections and runs until its standard input closes. Every
message received is parsed with the standard e-mail package and written to OUTDIR as <n>.json:
sender, recipients, decoded subject, sender name, HTML body, attachments (name, base64 bytes),
header values that the mail programs read.
"""
import argparse
import asyncio
import base64
import json
import os
import re
import socket
import ssl
import sys
from email import policy
from email.parser import BytesParser
from email.utils import parseaddr

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Handler:
    def __init__(self, outdir, drop):
        self.outdir = outdir
        self.drop = drop
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        if self.drop:
            server.transport.close()
            return "421 closing"
        self.count += 1
        msg = BytesParser(policy=policy.default).parsebytes(envelope.original_content)
        body = msg.get_body(preferencelist=("html",))
        name, addr = parseaddr(str(msg["From"]))
        result = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "subject": str(msg["Subject"]),
            "raw_subject": re.search(rb"^Subject: (.*?)\r?$", envelope.original_content,
                                     re.M | re.I).group(1).decode("ascii", "replace"),
            "from_name": name,
            "from_addr": addr,
            "reply_to": str(msg.get("Reply-To", "")),
            "to": str(msg["To"]),
            "x_mailer": str(msg.get("X-Mailer", "")),
            "x_priority": str(msg.get("X-Priority", "")),
            "html": body.get_content() if body is not None else None,
            "html_charset": body.get_content_charset() if body is not None else None,
            "auth": session.authenticated,
            "attachments": [
                {"name": part.get_filename(),
                 "data": base64.b64encode(part.get_payload(decode=True)).decode("ascii"),
                 "encoding": str(part.get("Content-Transfer-Encoding", ""))}
                for part in msg.iter_attachments()
            ],
        }
        with open(os.path.join(self.outdir, "%d.json" % self.count), "w", encoding="utf-8") as f:
            json.dump(result, f, ensure_ascii=False)
        return "250 OK"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("outdir")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--user")
    parser.add_argument("--password")
    parser.add_argument("--drop", action="store_true")
    args = parser.parse_args()

    kwargs = {}
    if args.cert:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)
        kwargs["tls_context"] = context
        kwargs["require_starttls"] = True
    if args.user:
        def authenticate(server, session, envelope, mechanism, data):
            ok = (isinstance(data, LoginPassword) and data.login.decode() == args.user
                  and data.password.decode() == args.password)
            return AuthResult(success=ok)
        kwargs["authenticator"] = authenticate
        kwargs["auth_required"] = True
        kwargs["auth_require_tls"] = False
    port = free_port()
    controller = Controller(Handler(args.outdir, args.drop), hostname="127.0.0.1", port=port,
                            **kwargs)
    controller.start()
    print("PORT %d" % port, flush=True)
    sys.stdin.read()
    controller.stop()


if __name__ == "__main__":
    main()
