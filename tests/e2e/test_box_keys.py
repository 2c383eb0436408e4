"""The keys in a page's sign-in and prompt boxes: typing goes to the first
field, Tab runs through the fields and then to OK and Cancel, Enter is OK."""

import base64
import unittest

from harness import E2ETestCase, wait_until
from desktop import Route  # noqa: E402 (harness makes it importable)

PROMPT_PAGE = b"""<!doctype html><link rel=icon href='data:,'><script>
fetch('/answer?' + encodeURIComponent(prompt('Your name?', 'default')));</script>"""


class BoxKeys(E2ETestCase):
    def press_in_box(self, path, *keys):
        """Starts at path and, once its box is up, types words and presses Keys."""
        self.set_home(path)
        corvane = self.start()
        box = wait_until(lambda: corvane.windows("^(Sign in|http://127.0.0.1.*)$"), 30, "the box")
        corvane.focus(box[0].decode())
        for key in keys:
            corvane.keys(key) if key[0].isupper() else corvane.type(key)
        return corvane

    def test_prompt(self):
        self.server.routes["/ask"] = Route(PROMPT_PAGE)
        for keys, answer in [(["typed", "Return"], "typed"), (["Tab", "Return"], "default"),
                             (["Tab", "Tab", "Return"], "null")]:
            with self.subTest(keys=keys):
                self.server.requests.clear()
                corvane = self.press_in_box("/ask", *keys)
                wait_until(lambda: any(r.startswith("/answer?") for r in self.server.requests), 10,
                           "the page's answer")
                self.assertIn("/answer?" + answer, self.server.requests)
                corvane.close()

    def test_sign_in_user_tab_password_enter(self):
        signed_in = []
        authorization = "Basic " + base64.b64encode(b"ann:s3cret").decode()

        def answer(request, path, query):
            if request.headers.get("Authorization") == authorization:
                signed_in.append(path)
            request.send_response(200 if signed_in else 401)
            request.send_header("WWW-Authenticate", 'Basic realm="Members"')
            request.send_header("Content-Length", "0")
            request.end_headers()
        self.server.answer = answer
        self.press_in_box("/members", "ann", "Tab", "s3cret", "Return")
        wait_until(lambda: signed_in, 10, "the signed-in request")


if __name__ == "__main__":
    unittest.main()
