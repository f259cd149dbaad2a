#!/usr/bin/python3
"""A local SMTP server for the tests of nrw send (aiosmtpd), on a free loopback port.

Prints the port on its first line of stdout once it listens. Every message it takes is written
whole to SPOOL as <n>.eml with the envelope beside it in <n>.json; every RCPT is logged to
SPOOL/rcpt.log as "address code". Behaviours for the tests:
  --defer-once ADDR    the first RCPT of ADDR is answered 451, later ones are taken
  --reject ADDR        every RCPT of ADDR is answered 550
  --hang-once ADDR     the first message to ADDR is written to the spool, then never answered
  --auth USER:PASS     AUTH LOGIN/PLAIN required, with these credentials
  --lifetime SECONDS   the server stops by itself after this long
"""
import argparse
import asyncio
import json
import os
import signal
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Handler:
    def __init__(self, args):
        self.spool = args.spool
        self.defer_once = set(a.lower() for a in args.defer_once)
        self.reject = set(a.lower() for a in args.reject)
        self.hang_once = set(a.lower() for a in args.hang_once)
        self.count = 0

    def log_rcpt(self, address, code):
        with open(os.path.join(self.spool, "rcpt.log"), "a") as log:
            log.write(f"{address} {code}\n")

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        key = address.lower()
        if key in self.reject:
            self.log_rcpt(address, 550)
            return "550 5.1.1 Caixa postal inexistente"
        if key in self.defer_once:
            self.defer_once.discard(key)
            self.log_rcpt(address, 451)
            return "451 4.3.0 Tente mais tarde"
        self.log_rcpt(address, 250)
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        name = os.path.join(self.spool, str(self.count))
        with open(name + ".json.tmp", "w") as out:
            json.dump({"from": envelope.mail_from, "to": envelope.rcpt_tos}, out)
        with open(name + ".eml.tmp", "wb") as out:
            out.write(envelope.original_content)
        os.rename(name + ".json.tmp", name + ".json")
        os.rename(name + ".eml.tmp", name + ".eml")
        hung = [a for a in envelope.rcpt_tos if a.lower() in self.hang_once]
        if hung:
            self.hang_once.difference_update(a.lower() for a in hung)
            with open(os.path.join(self.spool, "hung"), "w") as out:
                out.write(hung[0])
            await asyncio.sleep(3600)
        return "250 2.0.0 Mensagem aceita"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--spool", required=True)
    parser.add_argument("--defer-once", action="append", default=[])
    parser.add_argument("--reject", action="append", default=[])
    parser.add_argument("--hang-once", action="append", default=[])
    parser.add_argument("--auth", default="")
    parser.add_argument("--lifetime", type=float, default=300)
    args = parser.parse_args()

    handler = Handler(args)
    options = {}
    if args.auth:
        user, password = args.auth.split(":", 1)

        def authenticator(server, session, envelope, mechanism, auth_data):
            ok = (isinstance(auth_data, LoginPassword) and auth_data.login.decode() == user
                  and auth_data.password.decode() == password)
            return AuthResult(success=ok, handled=False)

        options = {"auth_required": True, "auth_require_tls": False,
                   "authenticator": authenticator}

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(loop.create_server(
        lambda: SMTP(handler, hostname="teste.local", loop=loop, **options), "127.0.0.1", 0))
    print(server.sockets[0].getsockname()[1], flush=True)
    loop.add_signal_handler(signal.SIGTERM, loop.stop)
    loop.call_later(args.lifetime, loop.stop)
    loop.run_forever()
    server.close()
    sys.exit(0)


if __name__ == "__main__":
    main()
