"""The keys in a page's sign-in and prompt boxes: typing goes to the first
field, Tab runs through the fields and then to OK and Cancel, Enter is OK."""

import base64
import unittest

from harness import E2ETestCase, wait_until

PROMPT_PAGE = b"""<!doctype html><link rel=icon href='data:,'><script>
fetch('/answer?' + encodeURIComponent(prompt('Your name?', 'default')));</script>"""


class BoxKeys(E2ETestCase):
    def press_in_box(self, path, body, *keys):
        """Starts at path (serving body if given); types words, presses Keys in its box."""
        corvane, _ = self.start_at(path, body, focus=False)
        corvane.focus(corvane.window_titled("^(Sign in|http://127.0.0.1.*)$", 30))
        for key in keys:
            corvane.keys(key) if key[0].isupper() else corvane.type(key)
        return corvane

    def test_prompt(self):
        for keys, answer in [(["typed", "Return"], "typed"), (["Tab", "Return"], "default"),
                             (["Tab", "Tab", "Return"], "null")]:
            self.server.requests.clear()
            with self.subTest(keys=keys), self.press_in_box("/ask", PROMPT_PAGE, *keys):
                wait_until(lambda: self.server.asked("/answer?"), 10, "the page's answer")
                self.assertIn("/answer?" + answer, self.server.requests)

    def test_sign_in_user_tab_password_enter(self):
        signed_in = []
        authorization = "Basic " + base64.b64encode(b"ann:s3cret").decode()

        def answer(request, path, query):
            if request.headers.get("Authorization") == authorization:
                signed_in.append(path)
            request.reply(200 if signed_in else 401, "text/plain", b"",
                          [("WWW-Authenticate", 'Basic realm="Members"')])
        self.server.answer = answer
        self.press_in_box("/members", None, "ann", "Tab", "s3cret", "Return")
        wait_until(lambda: signed_in, 10, "the signed-in request")


if __name__ == "__main__":
    unittest.main()
